#include "learn/reviewed_words.h"

#include <algorithm>

#include "base/encoding_guess.h"
#include "base/tab_separated.h"
#include "base/windows1252.h"
#include "book/word_core.h"

namespace scanmend::learn {
namespace {

std::string_view coreLetters(std::string_view word) {
  const auto [begin, end] = coreOf(word);
  return word.substr(begin, end - begin);
}

std::string_view trimmed(std::string_view cell) {
  while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\r')) cell.remove_prefix(1);
  while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\r')) cell.remove_suffix(1);
  return cell;
}

}  // namespace

bool ReviewedWords::parse(std::string_view given, ReviewedWords& reviewed, std::string& error) {
  reviewed.verdicts_.clear();
  if (given.starts_with("\xEF\xBB\xBF")) given.remove_prefix(3);
  std::string text(given);
  if (isUtf8BeyondAscii(given) && !utf8ToWindows1252(given, text)) {
    error = "holds a character that Windows-1252 does not have";
    return false;
  }
  std::size_t readColumn = 0;
  std::size_t writtenColumn = 0;
  std::size_t decisionColumn = 0;
  // Per form, how many rows keep it and how many mean each word.
  std::map<std::string, std::pair<int, std::map<std::string, int>>, std::less<>> votes;
  std::size_t number = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = trimmed(std::string_view(text).substr(at, end - at));
    at = end + 1;
    ++number;
    const std::vector<std::string_view> cells = tabSeparatedCells(line);
    if (number == 1) {
      const auto column = [&](std::string_view name) {
        return static_cast<std::size_t>(std::find(cells.begin(), cells.end(), name) -
                                        cells.begin());
      };
      readColumn = column("read");
      writtenColumn = column("written");
      decisionColumn = column("decision");
      if (readColumn == cells.size() || writtenColumn == cells.size() ||
          decisionColumn == cells.size()) {
        error = "line 1: the header names no columns read, written and decision";
        return false;
      }
      continue;
    }
    if (line.empty()) continue;
    if (cells.size() <= std::max({readColumn, writtenColumn, decisionColumn})) {
      error = "line " + std::to_string(number) + ": a row has fewer cells than the header";
      return false;
    }
    const std::string_view decision = trimmed(cells[decisionColumn]);
    const std::string_view read = coreLetters(cells[readColumn]);
    if (decision.empty() || read.empty()) continue;
    auto& [keep, meant] = votes[std::string(read)];
    if (decision == "reject") {
      ++keep;
    } else {
      const std::string_view word =
          decision == "accept" ? coreLetters(cells[writtenColumn]) : coreLetters(decision);
      if (word.empty()) {
        error = "line " + std::to_string(number) + ": the decision \"" + std::string(decision) +
                "\" is accept, reject or a word";
        return false;
      }
      if (word == read) {
        ++keep;
      } else {
        ++meant[std::string(word)];
      }
    }
  }
  for (const auto& [form, vote] : votes) {
    const auto& [keep, meant] = vote;
    const auto most =
        std::max_element(meant.begin(), meant.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    if (most == meant.end() || keep >= most->second) {
      reviewed.verdicts_[form] = {true, {}};
    } else {
      reviewed.verdicts_[form] = {false, most->first};
    }
  }
  return true;
}

const Verdict* ReviewedWords::of(std::string_view form) const {
  const auto found = verdicts_.find(form);
  return found == verdicts_.end() ? nullptr : &found->second;
}

std::vector<std::string> ReviewedWords::meantWords() const {
  std::vector<std::string> meant;
  for (const auto& [form, verdict] : verdicts_)
    meant.push_back(verdict.keep ? form : verdict.meant);
  return meant;
}

std::vector<ReviewedReading> ReviewedWords::readings(const std::vector<BookWord>& words) const {
  std::map<std::string_view, std::int64_t> counts;
  for (const BookWord& word : words) counts[coreLetters(word.text)] += word.count;
  std::vector<ReviewedReading> readings;
  for (const auto& [form, verdict] : verdicts_) {
    if (verdict.keep) continue;
    const auto found = counts.find(form);
    readings.push_back({form, verdict.meant, found == counts.end() ? 1 : found->second});
  }
  return readings;
}

}  // namespace scanmend::learn
