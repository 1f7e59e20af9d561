#include "profile/spelling.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <tuple>

#include "base/letters.h"
#include "base/tab_separated.h"
#include "base/user_text.h"
#include "files/text_files.h"
#include "profile/shipped_spelling.h"

namespace scanmend {
namespace {

// At most this many rules make one word: a word rarely needs more than
// two, and more would make a word of nearly any misreading.
constexpr int kMostRules = 3;
// Shorter words take one rule at most, and only one that exchanges
// letters ("sey", "Jch", "Jn"): a rule that adds or drops letters makes a
// word of most of them ("dn" would be "den"). A single letter takes none.
constexpr std::size_t kShortestWord = 4;
constexpr std::size_t kShortestShortWord = 2;
// Longer words are no word of a language.
constexpr std::size_t kLongestWord = 64;

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

// The first letter in the other case where `first` allows it, or itself.
unsigned char otherCase(unsigned char letter, Spelling::FirstLetter first) {
  const unsigned char small = smallLetterOf(letter);
  if (small != letter) return small;
  return first == Spelling::FirstLetter::EitherCase ? capitalOf(letter) : letter;
}

// Finds the dictionary word that the fewest rules make of a word: the
// walk goes along the word, either keeping a letter or applying a rule
// whose historical letters stand there, and goes on only along prefixes
// that some dictionary word has, so it tries few forms even for a long
// word that many rules fit. Rules apply to the printed letters, never to
// what another rule made.
class SpellingWalk {
 public:
  SpellingWalk(std::string_view word, const std::vector<SpellingRule>& rules,
               const std::vector<std::uint16_t>& rulesByFirstByte,
               const std::array<std::uint16_t, 257>& firstRuleOfByte,
               const std::vector<std::uint16_t>& droppedAtEnd, const SortedWords& lexicon,
               const std::vector<double>* weights, double least)
      : weights_(weights),
        least_(least),
        word_(word),
        rules_(rules),
        rulesByFirstByte_(rulesByFirstByte),
        firstRuleOfByte_(firstRuleOfByte),
        droppedAtEnd_(droppedAtEnd),
        lexicon_(lexicon),
        short_(word.size() < kShortestWord),
        mostRules_(short_ ? 1 : kMostRules) {}

  // The form, with its first letter also looked up in the other case as
  // `first` allows.
  std::optional<SpellingForm> fewestRules(Spelling::FirstLetter first) {
    first_ = first;
    walk(0, lexicon_.all(), 0);
    if (best_.modern.empty()) return std::nullopt;
    return std::move(best_);
  }

 private:
  void walk(std::size_t at, SortedWords::Range range, int used) {
    if (at == word_.size()) {
      if (used > 0 && used < bestRules_ && lexicon_.holdsWord(range)) {
        best_.modern = form_;
        best_.rules = applied_;
        bestRules_ = used;
      }
      // A letter that the period drops at a word's end ("Gedult" beside
      // "Geduld" is another rule; "hab" for "habe" is this one).
      if (used + 1 < bestRules_ && used < mostRules_ && !short_)
        for (const std::uint16_t r : droppedAtEnd_)
          if (weighsEnough(r)) apply(r, at, range, used);
      return;
    }
    go(at + 1, range, word_.substr(at, 1), used);
    if (used + 1 >= bestRules_ || used >= mostRules_) return;
    const auto byte = static_cast<unsigned char>(word_[at]);
    for (std::size_t r = firstRuleOfByte_[byte]; r < firstRuleOfByte_[byte + 1]; ++r) {
      const SpellingRule& rule = rules_[rulesByFirstByte_[r]];
      if (!fitsAt(rule, at) || (short_ && rule.historical.size() != rule.modern.size()) ||
          !weighsEnough(rulesByFirstByte_[r]))
        continue;
      apply(rulesByFirstByte_[r], at, range, used);
      if (used + 1 >= bestRules_) return;
    }
  }

  void apply(std::uint16_t r, std::size_t at, SortedWords::Range range, int used) {
    applied_.push_back(r);
    go(at + rules_[r].historical.size(), range, rules_[r].modern, used + 1);
    applied_.pop_back();
  }

  void go(std::size_t to, SortedWords::Range range, std::string_view letters, int used) {
    const std::size_t size = form_.size();
    form_.append(letters);
    if (size == 0 && !letters.empty()) {
      const auto printed = static_cast<unsigned char>(letters[0]);
      const unsigned char other = otherCase(printed, first_);
      if (other != printed)
        if (const auto found = lexicon_.narrow(lexicon_.narrow(range, other), letters.substr(1));
            !found.empty())
          walk(to, found, used);
    }
    if (range = lexicon_.narrow(range, letters); !range.empty()) walk(to, range, used);
    form_.resize(size);
  }

  // A rule that weighs less than the least that the caller asks for can
  // make no form that weighs enough.
  bool weighsEnough(std::uint16_t r) const {
    return weights_ == nullptr || r >= weights_->size() || (*weights_)[r] >= least_;
  }

  bool fitsAt(const SpellingRule& rule, std::size_t at) const {
    const std::string_view letters = rule.historical;
    if (word_.compare(at, letters.size(), letters) != 0) return false;
    switch (rule.place) {
      case SpellingRule::Place::Start:
        return at == 0;
      case SpellingRule::Place::End:
        return at + letters.size() == word_.size();
      case SpellingRule::Place::Anywhere:
        return true;
    }
    return false;
  }

  const std::vector<double>* weights_;
  const double least_;
  const std::string_view word_;
  const std::vector<SpellingRule>& rules_;
  const std::vector<std::uint16_t>& rulesByFirstByte_;
  const std::array<std::uint16_t, 257>& firstRuleOfByte_;
  const std::vector<std::uint16_t>& droppedAtEnd_;
  const SortedWords& lexicon_;
  const bool short_;
  const int mostRules_;
  Spelling::FirstLetter first_ = Spelling::FirstLetter::CapitalAsSmall;
  std::string form_;
  std::vector<std::uint16_t> applied_;
  SpellingForm best_;
  int bestRules_ = kMostRules + 1;
};

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
  Windows1252Text converted = windows1252Text(text);
  if (!converted.leftOut.empty()) {
    error = lineList(converted.leftOut) +
            ": a character that Windows-1252 does not have; write the letters as the book's "
            "pages have them";
    return false;
  }
  const std::string& bytes = converted.bytes;
  spelling.rules_.clear();
  // A rule given twice is one rule: each copy would be tried again at every
  // place it fits, in every combination with the others.
  std::set<std::tuple<std::string_view, std::string_view, SpellingRule::Place>> seen;
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
    if (cells.size() < 3 || cells[0] == cells[1] || !placeOf(cells[2], rule.place) ||
        (cells[0].empty() && rule.place != SpellingRule::Place::End)) {
      error = "line " + std::to_string(number) +
              ": a rule is the historical letters, the letters of 1901 and start, end or "
              "anywhere, separated by tabs (no historical letters only at the end)";
      return false;
    }
    if (!seen.emplace(cells[0], cells[1], rule.place).second) continue;
    rule.historical = cells[0];
    rule.modern = cells[1];
    rule.always = cells.size() > 4 && cells[4] == "always";
    spelling.rules_.push_back(std::move(rule));
  }
  if (spelling.rules_.size() > UINT16_MAX) {
    error = "holds more than " + std::to_string(UINT16_MAX) + " rules";
    return false;
  }
  spelling.indexRules();
  return true;
}

bool Spelling::readFile(const std::string& path, Spelling& spelling, std::string& error) {
  std::string table;
  if (const ReadResult result = scanmend::readFile(path, table); result != ReadResult::Read) {
    error = path + " " + std::string(readFailure(result));
    return false;
  }
  if (!parse(table, spelling, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

void Spelling::indexRules() {
  rulesByFirstByte_.clear();
  droppedAtEnd_.clear();
  for (unsigned byte = 0; byte < 256; ++byte) {
    firstRuleOfByte_[byte] = static_cast<std::uint16_t>(rulesByFirstByte_.size());
    for (std::size_t r = 0; r < rules_.size(); ++r)
      if (!rules_[r].historical.empty() &&
          static_cast<unsigned char>(rules_[r].historical[0]) == byte)
        rulesByFirstByte_.push_back(static_cast<std::uint16_t>(r));
  }
  firstRuleOfByte_[256] = static_cast<std::uint16_t>(rulesByFirstByte_.size());
  for (std::size_t r = 0; r < rules_.size(); ++r)
    if (rules_[r].historical.empty()) droppedAtEnd_.push_back(static_cast<std::uint16_t>(r));
}

std::optional<std::string> Spelling::modernFormOf(std::string_view word, const SortedWords& lexicon,
                                                  FirstLetter first) const {
  std::optional<SpellingForm> form = explain(word, lexicon, first);
  if (!form) return std::nullopt;
  return std::move(form->modern);
}

std::optional<SpellingForm> Spelling::explain(std::string_view word, const SortedWords& lexicon,
                                              FirstLetter first, const std::vector<double>* weights,
                                              double least) const {
  if (word.size() < kShortestShortWord || word.size() > kLongestWord) return std::nullopt;
  const auto printed = static_cast<unsigned char>(word[0]);
  const unsigned char other = otherCase(printed, first);
  std::string inOtherCase(word);
  inOtherCase[0] = static_cast<char>(other);
  if (lexicon.contains(word) || (other != printed && lexicon.contains(inOtherCase)))
    return std::nullopt;
  // Most words hold the letters of no rule that weighs enough: they need
  // no walk.
  if (weights != nullptr) {
    bool fits = false;
    for (std::size_t r = 0; r < rules_.size() && !fits; ++r) {
      if (r < weights->size() && (*weights)[r] < least) continue;
      const SpellingRule& rule = rules_[r];
      switch (rule.place) {
        case SpellingRule::Place::Start:
          fits = word.starts_with(rule.historical);
          break;
        case SpellingRule::Place::End:
          fits = word.ends_with(rule.historical);
          break;
        case SpellingRule::Place::Anywhere:
          fits = word.find(rule.historical) != std::string_view::npos;
          break;
      }
    }
    if (!fits) return std::nullopt;
  }
  return SpellingWalk(word, rules_, rulesByFirstByte_, firstRuleOfByte_, droppedAtEnd_, lexicon,
                      weights, least)
      .fewestRules(first);
}

bool Spelling::explains(std::string_view scanned, bool atEnd, std::string_view reading,
                        const std::vector<double>* weights, double least) const {
  for (std::size_t r = 0; r < rules_.size(); ++r) {
    if (weights != nullptr && r < weights->size() && (*weights)[r] < least) continue;
    const SpellingRule& rule = rules_[r];
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
