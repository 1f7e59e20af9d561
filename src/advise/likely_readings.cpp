#include "advise/likely_readings.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "base/letters.h"
#include "profile/readings.h"

namespace scanmend::advise {
namespace {

// Of a word it resolves, the share that is a real misreading, from which
// the evidence counts an exchange as one of this book's misreadings.
constexpr double kMisreadingConfidence = 0.5;
// A misread word may be more frequent than its true form, in a book that
// misreads a letter more often than not; not four times as frequent.
constexpr std::int64_t kMostMisreadFactor = 4;
// How likely a well-known Fraktur misreading is taken to be, where the
// book's own evidence says less.
constexpr double kKnownMisreadingWeight = 0.9;

// The scanner's well-known misreadings of Fraktur letters: scanned, meant.
constexpr std::array<std::pair<std::string_view, std::string_view>, 22> kKnownMisreadings{{
    {"f", "s"},     {"f", "\xDF"},  {"n", "u"},     {"u", "n"},   {"o", "v"},  {"v", "o"},
    {"B", "V"},     {"E", "C"},     {"I", "J"},     {"J", "I"},   {"c", "e"},  {"e", "c"},
    {"fs", "\xDF"}, {"sz", "\xDF"}, {"fz", "\xDF"}, {"rn", "m"},  {"m", "rn"}, {"in", "m"},
    {"U", "ll"},    {"f", "st"},    {"fi", "K"},    {"ft", "st"},
}};

}  // namespace

LikelyReadings::LikelyReadings(const ClassifiedWords& words, const Dictionary& dictionary,
                               const Evidence& evidence, const RunTables& tables,
                               const Profile& profile, const SortedWords& lexicon)
    : dictionary_(dictionary),
      evidence_(evidence),
      tables_(tables),
      profile_(profile),
      lexicon_(lexicon) {
  std::array<bool, 256> inAlphabet{};
  for (std::size_t i = 0; i < words.words.size(); ++i) {
    const BookWord& word = words.words[i];
    if (!words.known[i]) {
      if (isPlainWord(word.text)) unknown_.emplace(word.text, word.count);
      continue;
    }
    known_.emplace(word.text, word.count);
    for (const char c : word.text)
      if (isLetter(static_cast<unsigned char>(c))) inAlphabet[static_cast<unsigned char>(c)] = true;
  }
  for (std::size_t byte = 0; byte < 256; ++byte)
    if (inAlphabet[byte]) alphabet_ += static_cast<char>(byte);
}

std::int64_t LikelyReadings::bookCount(std::string_view word) const {
  const auto found = known_.find(word);
  return found == known_.end() ? 0 : found->second;
}

std::int64_t LikelyReadings::unknownCount(std::string_view word) const {
  const auto found = unknown_.find(word);
  return found == unknown_.end() ? 0 : found->second;
}

double LikelyReadings::misreadingWeight(unsigned char scanned, unsigned char meant) const {
  double weight = evidence_.confidence(scanned, meant);
  if (weight < kMisreadingConfidence) weight = 0;
  for (const auto& [from, to] : kKnownMisreadings)
    if (from.size() == 1 && to.size() == 1 && static_cast<unsigned char>(from[0]) == scanned &&
        static_cast<unsigned char>(to[0]) == meant)
      weight = std::max(weight, kKnownMisreadingWeight);
  return weight;
}

std::optional<std::string> LikelyReadings::of(std::string_view word, std::int64_t count) const {
  // A reading explained by a misreading beats one that only lies beside a
  // word of the book; among those, the likelier misreading, then the more
  // frequent word.
  struct Rank {
    int tier;  // 0: a misreading explains it; 1: it stands beside a word of the book
    double weight;
    std::int64_t inBook;
    bool operator<(const Rank& other) const {
      if (tier != other.tier) return tier > other.tier;
      if (weight != other.weight) return weight < other.weight;
      return inBook < other.inBook;
    }
  };
  std::optional<std::string> best;
  Rank bestRank{2, 0, 0};
  const auto consider = [&](std::string_view reading, int tier, double weight) {
    const Rank rank{tier, weight, bookCount(reading) + unknownCount(reading)};
    if (bestRank < rank) {
      best.emplace(reading);
      bestRank = rank;
    }
  };
  if (word.empty() || word.size() > Dictionary::kMaxWordLength) return best;
  const auto smallFirst = [&word](std::string_view reading) {
    return reading.size() == word.size() &&
           static_cast<unsigned char>(reading[0]) ==
               smallLetterOf(static_cast<unsigned char>(word[0])) &&
           reading.substr(1) == word.substr(1);
  };
  // What the book's learned misreadings make of it comes first: they are
  // this book's own, weighed on all of its words. A capitalised form that
  // reads likelier as itself than as anything else is a sentence start.
  if (const std::vector<Candidate> readings = readingsOnlyOf(word, profile_, lexicon_);
      !readings.empty()) {
    const std::string& likeliest = readings.front().text;
    if (likeliest == word || smallFirst(likeliest)) return best;
    return likeliest;
  }
  // Short words all have neighbours in the book; only misreadings count.
  const bool besideBookWords = word.size() >= 4;

  // One letter exchanged, the others read through the run's confusions.
  std::vector<std::string_view> letters(word.size());
  for (std::size_t k = 0; k < word.size(); ++k) {
    const std::string_view letterClass =
        tables_.confusionTable.classOf(static_cast<unsigned char>(word[k]));
    letters[k] = letterClass.empty() ? word.substr(k, 1) : letterClass;
  }
  for (std::size_t i = 0; i < word.size(); ++i) {
    const std::string_view own = letters[i];
    letters[i] = alphabet_;
    dictionary_.forEachWordWithLetters(letters, [&](std::string_view reading) {
      const auto scanned = static_cast<unsigned char>(word[i]);
      const auto meant = static_cast<unsigned char>(reading[i]);
      if (scanned == meant || smallFirst(reading)) return;  // a capitalised form is no misreading
      if (i == 0 && smallLetterOf(meant) == scanned) {
        consider(reading, 0, 1);  // a small letter read for a capital
      } else if (const double weight = misreadingWeight(scanned, meant); weight > 0) {
        consider(reading, 0, weight);
      } else if (besideBookWords && bookCount(reading) >= count) {
        consider(reading, 1, 0);
      }
    });
    letters[i] = own;
  }

  // One misread letter, beside a word of the book that the dictionary lacks
  // too.
  std::string variant;
  for (std::size_t i = 0; i < word.size(); ++i) {
    variant.assign(word);
    for (const char meant : alphabet_) {
      const double weight =
          misreadingWeight(static_cast<unsigned char>(word[i]), static_cast<unsigned char>(meant));
      if (meant == word[i] || weight == 0) continue;
      variant[i] = meant;
      if (kMostMisreadFactor * unknownCount(variant) >= count) consider(variant, 0, weight);
    }
  }

  // A letter group misread.
  for (const auto& [from, to] : kKnownMisreadings) {
    for (std::size_t at = word.find(from); at != std::string_view::npos;
         at = word.find(from, at + 1)) {
      variant.assign(word.substr(0, at)).append(to).append(word.substr(at + from.size()));
      if (dictionary_.contains(variant)) consider(variant, 0, kKnownMisreadingWeight);
    }
  }

  // A letter dropped or added, beside a word of the book.
  if (besideBookWords) {
    for (std::size_t at = 0; at <= word.size(); ++at) {
      for (const char letter : alphabet_) {
        variant.assign(word.substr(0, at)).append(1, letter).append(word.substr(at));
        if (bookCount(variant) >= count) consider(variant, 1, 0);
      }
      if (at == word.size()) break;
      variant.assign(word.substr(0, at)).append(word.substr(at + 1));
      if (bookCount(variant) >= count) consider(variant, 1, 0);
    }
  }
  return best;
}

}  // namespace scanmend::advise
