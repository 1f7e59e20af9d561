#include "profile/spelling.h"

#include <algorithm>
#include <unordered_set>

#include "base/encoding_guess.h"
#include "base/tab_separated.h"
#include "base/windows1252.h"
#include "profile/shipped_spelling.h"

namespace scanmend {
namespace {

// At most this many rules make one word, and this many forms are tried:
// a word rarely needs more than two, and the forms grow with every step.
constexpr int kMostRules = 3;
constexpr std::size_t kMostForms = 256;
// Shorter words are left to the dictionary and the misreadings: one rule
// makes a word of most of them ("Fn" is "Feen", "bie" "pie").
constexpr std::size_t kShortestWord = 4;

bool placeOf(std::string_view name, SpellingRule::Place& place) {
  if (name == "start")
    place = SpellingRule::Place::Start;
  else if (name == "end")
    place = SpellingRule::Place::End;
  else if (name == "anywhere")
    place = SpellingRule::Place::Anywhere;
  else
    return false;
  return true;
}

// Calls visit(at) for each place where the rule's historical letters
// stand in `word`.
template <typename Visit>
void forEachPlace(std::string_view word, const SpellingRule& rule, Visit visit) {
  const std::string_view letters = rule.historical;
  if (letters.size() > word.size()) return;
  switch (rule.place) {
    case SpellingRule::Place::Start:
      if (word.starts_with(letters)) visit(std::size_t{0});
      return;
    case SpellingRule::Place::End:
      if (word.ends_with(letters)) visit(word.size() - letters.size());
      return;
    case SpellingRule::Place::Anywhere:
      for (std::size_t at = word.find(letters); at != std::string_view::npos;
           at = word.find(letters, at + 1))
        visit(at);
      return;
  }
}

}  // namespace

const Spelling& Spelling::shipped() {
  static const Spelling table = [] {
    Spelling spelling;
    std::string error;
    parse(kShippedSpelling, spelling, error);
    return spelling;
  }();
  return table;
}

bool Spelling::parse(std::string_view text, Spelling& spelling, std::string& error) {
  std::string bytes(text);
  if (looksLikeUtf8(bytes) && !utf8ToWindows1252(text, bytes)) {
    error = "holds a character that Windows-1252 does not have";
    return false;
  }
  spelling.rules_.clear();
  std::size_t number = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string_view line = std::string_view(bytes).substr(at, end - at);
    at = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const std::vector<std::string_view> cells = tabSeparatedCells(line);
    SpellingRule rule;
    if (cells.size() < 3 || cells[0].empty() || cells[0] == cells[1] ||
        !placeOf(cells[2], rule.place)) {
      error = "line " + std::to_string(number) +
              ": a rule is the historical letters, the letters of 1901 and start, end or "
              "anywhere, separated by tabs";
      return false;
    }
    rule.historical = cells[0];
    rule.modern = cells[1];
    spelling.rules_.push_back(std::move(rule));
  }
  return true;
}

std::optional<std::string> Spelling::modernFormOf(std::string_view word,
                                                  const SortedWords& lexicon) const {
  if (word.size() < kShortestWord || containsOrCapitalised(lexicon, word)) return std::nullopt;
  std::vector<std::string> forms{std::string(word)};
  std::unordered_set<std::string> seen{std::string(word)};
  std::optional<std::string> found;
  std::string changed;
  for (int step = 0; step < kMostRules && !found; ++step) {
    std::vector<std::string> next;
    for (const std::string& form : forms) {
      for (const SpellingRule& rule : rules_) {
        forEachPlace(form, rule, [&](std::size_t place) {
          if (found || seen.size() >= kMostForms) return;
          changed.assign(form, 0, place)
              .append(rule.modern)
              .append(form, place + rule.historical.size());
          if (!seen.insert(changed).second) return;
          if (containsOrCapitalised(lexicon, changed))
            found = changed;
          else
            next.push_back(changed);
        });
      }
    }
    forms = std::move(next);
  }
  return found;
}

bool Spelling::explains(std::string_view scanned, bool atEnd, std::string_view reading) const {
  for (const SpellingRule& rule : rules_) {
    const std::string_view historical = rule.historical;
    const std::string_view modern = rule.modern;
    // The rule's letters around the exchange: what both sides share before
    // and after it.
    for (std::size_t before = 0; before + scanned.size() <= historical.size(); ++before) {
      const std::size_t after = historical.size() - before - scanned.size();
      if (before + reading.size() + after != modern.size()) continue;
      if (historical.substr(before, scanned.size()) != scanned ||
          modern.substr(before, reading.size()) != reading ||
          historical.substr(0, before) != modern.substr(0, before) ||
          historical.substr(before + scanned.size()) != modern.substr(before + reading.size()))
        continue;
      // At a word's end only where the rule is at its end; a rule of the
      // end is no exchange inside a word.
      if (atEnd && rule.place != SpellingRule::Place::End &&
          rule.place != SpellingRule::Place::Anywhere)
        continue;
      if (atEnd && after > 0) continue;
      if (!atEnd && rule.place == SpellingRule::Place::End && after == 0) continue;
      return true;
    }
  }
  return false;
}

}  // namespace scanmend
