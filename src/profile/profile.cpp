#include "profile/profile.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>

#include "base/encoding_guess.h"
#include "base/tab_separated.h"
#include "base/windows1252.h"

namespace scanmend {
namespace {

constexpr std::string_view kHeader =
    "scanned\tplace\treading\tprobability\twords\texamples\tkind\n";
// The header of the profiles written before they showed the spelling.
constexpr std::string_view kSixColumns = "scanned\tplace\treading\tprobability\twords\texamples";
constexpr std::string_view kAtEnd = "end";
constexpr std::string_view kElsewhere = "other";
constexpr std::string_view kMisreading = "misreading";
constexpr std::string_view kSpelling = "spelling";

std::string_view placeName(SpellingRule::Place place) {
  switch (place) {
    case SpellingRule::Place::Start:
      return "start";
    case SpellingRule::Place::End:
      return "end";
    case SpellingRule::Place::Anywhere:
      return "anywhere";
  }
  return "anywhere";
}

bool spellingPlace(std::string_view name, SpellingRule::Place& place) {
  for (const auto candidate :
       {SpellingRule::Place::Start, SpellingRule::Place::End, SpellingRule::Place::Anywhere})
    if (placeName(candidate) == name) {
      place = candidate;
      return true;
    }
  return false;
}

void appendExamples(const std::vector<std::string>& examples, std::string& out) {
  for (std::size_t k = 0; k < examples.size(); ++k)
    out.append(k == 0 ? "" : " ").append(examples[k]);
}

std::uint16_t pairKey(std::string_view two) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(two[0]) << 8 |
                                    static_cast<unsigned char>(two[1]));
}

std::string fixed(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

bool isGroup(std::string_view text) { return text.size() == 1 || text.size() == 2; }

bool parseProbability(std::string_view cell, double& probability) {
  probability = -1;
  const auto [end, failed] = std::from_chars(cell.data(), cell.data() + cell.size(), probability);
  return failed == std::errc() && end == cell.data() + cell.size() && probability >= 0 &&
         probability <= 1;
}

}  // namespace

double ProfileEntry::stay() const {
  double moved = 0;
  for (const Reading& reading : readings) moved += reading.probability;
  return std::max(0.0, 1.0 - moved);
}

void Profile::set(ProfileEntry entry) {
  std::vector<ProfileEntry> entries = std::move(entries_);
  entries.push_back(std::move(entry));
  assign(std::move(entries));
}

void Profile::assign(std::vector<ProfileEntry> entries) {
  const auto byBytes = [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
  };
  // Stable, so that of two entries of one place the later comes last.
  std::stable_sort(entries.begin(), entries.end(),
                   [&](const ProfileEntry& a, const ProfileEntry& b) {
                     if (a.scanned != b.scanned) return byBytes(a.scanned, b.scanned);
                     return a.atEnd < b.atEnd;
                   });
  entries_.clear();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ProfileEntry& entry = entries[i];
    const bool replaced = i + 1 < entries.size() && entries[i + 1].scanned == entry.scanned &&
                          entries[i + 1].atEnd == entry.atEnd;
    if (replaced || entry.readings.empty()) continue;
    std::sort(entry.readings.begin(), entry.readings.end(), [](const Reading& a, const Reading& b) {
      if (a.probability != b.probability) return a.probability > b.probability;
      return a.text < b.text;
    });
    entries_.push_back(std::move(entry));
  }
  reindex();
}

void Profile::reindex() {
  for (auto& place : single_) place.fill(0);
  for (auto& place : pairs_) place.clear();
  leftOff_ = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string& scanned = entries_[i].scanned;
    const std::size_t place = entries_[i].atEnd ? 1 : 0;
    if (scanned.empty())
      leftOff_ = entries_[i].atEnd ? static_cast<int>(i + 1) : 0;
    else if (scanned.size() == 1)
      single_[place][static_cast<unsigned char>(scanned[0])] = static_cast<int>(i + 1);
    else
      pairs_[place][pairKey(scanned)] = static_cast<int>(i + 1);
  }
}

const ProfileEntry* Profile::find(std::string_view scanned, bool atEnd) const {
  const std::size_t place = atEnd ? 1 : 0;
  int index = 0;
  if (scanned.empty()) {
    index = atEnd ? leftOff_ : 0;
  } else if (scanned.size() == 1) {
    index = single_[place][static_cast<unsigned char>(scanned[0])];
  } else if (scanned.size() == 2 && !pairs_[place].empty()) {
    const auto found = pairs_[place].find(pairKey(scanned));
    if (found != pairs_[place].end()) index = found->second;
  }
  return index == 0 ? nullptr : &entries_[static_cast<std::size_t>(index - 1)];
}

std::string formatProfile(const Profile& profile) {
  std::string out(kHeader);
  for (const ProfileEntry& entry : profile.entries()) {
    const std::string_view place = entry.atEnd ? kAtEnd : kElsewhere;
    for (const Reading& reading : entry.readings) {
      out.append(entry.scanned).append("\t").append(place).append("\t").append(reading.text);
      out.append("\t").append(fixed(reading.probability));
      out.append("\t").append(std::to_string(reading.words)).append("\t");
      appendExamples(reading.examples, out);
      out.append("\t").append(kMisreading).append("\n");
    }
    out.append(entry.scanned).append("\t").append(place).append("\t").append(entry.scanned);
    out.append("\t").append(fixed(entry.stay())).append("\t\t\t").append(kMisreading).append("\n");
  }
  for (const SpellingUse& use : profile.spelling()) {
    out.append(use.rule.historical).append("\t").append(placeName(use.rule.place));
    out.append("\t").append(use.rule.modern).append("\t").append(fixed(use.weight));
    out.append("\t").append(std::to_string(use.words)).append("\t");
    appendExamples(use.examples, out);
    out.append("\t").append(kSpelling).append("\n");
  }
  return out;
}

bool parseProfile(std::string_view given, Profile& profile, std::string& error) {
  profile = Profile();
  std::string converted;
  if (isUtf8BeyondAscii(given)) {
    if (!utf8ToWindows1252(given, converted)) {
      error = "holds a character that Windows-1252 does not have";
      return false;
    }
    given = converted;
  }
  const std::string_view text = given;
  std::map<std::pair<std::string, bool>, ProfileEntry> entries;
  std::set<std::tuple<std::string, bool, std::string>> seen;
  std::vector<SpellingUse> spelling;
  std::size_t number = 0;
  bool headerSeen = false;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    // The header, after the remarks that may open the file.
    if (!headerSeen && (line == kHeader.substr(0, kHeader.size() - 1) || line == kSixColumns)) {
      headerSeen = true;
      continue;
    }
    headerSeen = true;
    const std::vector<std::string_view> row = tabSeparatedCells(line);
    const std::string where = "line " + std::to_string(number) + ": ";
    if (row.size() < 4) {
      error = where + "a row needs the scanned letters, the place, the reading and its probability";
      return false;
    }
    const bool isSpelling = row.size() > 6 && row[6] == kSpelling;
    if (row.size() > 6 && !isSpelling && row[6] != kMisreading) {
      error =
          where + "the kind is \"misreading\" or \"spelling\", not \"" + std::string(row[6]) + "\"";
      return false;
    }
    double probability = -1;
    if (!parseProbability(row[3], probability)) {
      error = where + "the probability \"" + std::string(row[3]) + "\" is no number from 0 to 1";
      return false;
    }
    std::int64_t words = 0;
    if (row.size() > 4) std::from_chars(row[4].data(), row[4].data() + row[4].size(), words);
    if (isSpelling) {
      SpellingUse use;
      if (!spellingPlace(row[1], use.rule.place) || row[0] == row[2] ||
          (row[0].empty() && use.rule.place != SpellingRule::Place::End)) {
        error = where +
                "a spelling rule is the historical letters, start, end or anywhere, and "
                "the letters of 1901";
        return false;
      }
      use.rule.historical = row[0];
      use.rule.modern = row[2];
      use.weight = probability;
      use.words = words;
      spelling.push_back(std::move(use));
      continue;
    }
    // What stays follows from the readings.
    if (row[0] == row[2] && (row[0].empty() ? row[1] == kAtEnd : isGroup(row[0]))) continue;
    if (!(isGroup(row[0]) || (row[0].empty() && row[1] == kAtEnd && isGroup(row[2]))) ||
        !(row[2].empty() || isGroup(row[2]))) {
      error = where +
              "the scanned letters are one or two letters (or none at the end, for letters left "
              "off), the reading none, one or two";
      return false;
    }
    if (row[1] != kAtEnd && row[1] != kElsewhere) {
      error = where + "the place is \"end\" or \"other\", not \"" + std::string(row[1]) + "\"";
      return false;
    }
    const bool atEnd = row[1] == kAtEnd;
    ProfileEntry& entry = entries[{std::string(row[0]), atEnd}];
    entry.scanned = row[0];
    entry.atEnd = atEnd;
    Reading reading{std::string(row[2]), probability, words, {}};
    if (!seen.emplace(row[0], atEnd, reading.text).second) {
      error = where + "\"" + std::string(row[0]) + "\" read as \"" + reading.text + "\" twice";
      return false;
    }
    if (reading.probability > 0) entry.readings.push_back(std::move(reading));
  }
  std::vector<ProfileEntry> read;
  for (auto& [key, entry] : entries) {
    double sum = 0;
    for (const Reading& reading : entry.readings) sum += reading.probability;
    if (sum > 1.0 + 1e-6) {
      error = "the readings of \"" + key.first + "\" (" +
              std::string(key.second ? kAtEnd : kElsewhere) + ") add up to more than 1";
      return false;
    }
    read.push_back(std::move(entry));
  }
  profile.assign(std::move(read));
  profile.setSpelling(std::move(spelling));
  return true;
}

}  // namespace scanmend
