// The historical spellings of German that a book printed before the
// spelling of 1901 has, as rules from its letters to those of 1901 ("th"
// to "t" in "Theil", "ey" to "ei" in "seyn"). A word of the book that the
// rules turn into a dictionary word is the book's own spelling of that word,
// to be kept as printed; an exchange of letters that a rule makes is the
// period's spelling, never a misreading of the scanner.
//
// The tools ship a table (data/spelling.tsv, installed beside the manual
// pages); a user gives a table of their own with --spelling FILE. A table
// is UTF-8 (with or without a byte-order mark) or Windows-1252 text: per
// line the historical letters, the letters of 1901 and where they stand in
// a word (start, end, anywhere), separated by tabs, and optionally an
// example and the word "always" for a rule that every book follows; "#"
// begins a remark. A rule given twice counts once.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/sorted_words.h"

namespace scanmend {

struct SpellingRule {
  enum class Place { Start, End, Anywhere };
  std::string historical;  // Windows-1252; empty only at the end (a letter the period drops)
  std::string modern;
  Place place = Place::Anywhere;
  // A convention of the print that no OCR misreading makes ("Jch" for
  // "Ich", where Fraktur has one letter for both): it holds in every book.
  bool always = false;
};

// A book's word as the rules read it: the dictionary word they make of it
// and the rules that make it, by their number in the table.
struct SpellingForm {
  std::string modern;
  std::vector<std::uint16_t> rules;
};

class Spelling {
 public:
  // The table shipped with the tools.
  static const Spelling& shipped();
  // Reads a table; false, with the line and the reason in `error`, for one
  // that cannot be read.
  static bool parse(std::string_view text, Spelling& spelling, std::string& error);
  // Reads the table in the file at `path`; false, with the reason (the
  // path first), where the file cannot be read or holds no table.
  static bool readFile(const std::string& path, Spelling& spelling, std::string& error);

  // Whether a word's first letter may be read in the other case: a capital
  // as small at a sentence start (always), a small letter as capital too
  // for the last part of a compound ("besitzer" of "Besitzer").
  enum class FirstLetter { CapitalAsSmall, EitherCase };

  // The form that the fewest rules, up to three, make of `word` and that
  // the dictionary lists (with its first letter as `first` allows), or
  // nothing. A word that is listed itself has none; a word of two or three
  // letters takes one rule that exchanges letters for as many ("sey",
  // "Jn"), and a single letter none.
  std::optional<std::string> modernFormOf(std::string_view word, const SortedWords& lexicon,
                                          FirstLetter first = FirstLetter::CapitalAsSmall) const;
  // The same with the rules that make the form; with `weights` (by
  // rule), only by the rules that weigh at least `least`.
  std::optional<SpellingForm> explain(std::string_view word, const SortedWords& lexicon,
                                      FirstLetter first = FirstLetter::CapitalAsSmall,
                                      const std::vector<double>* weights = nullptr,
                                      double least = 0) const;

  // Whether reading the scanned letters as `reading` at that place is what
  // a rule does: the rule's letters around them alike, the rest its change
  // ("y" read as "i" after "e" is the rule "ey" to "ei").
  // With `weights` (by rule), only the rules that weigh at least `least`
  // count.
  bool explains(std::string_view scanned, bool atEnd, std::string_view reading,
                const std::vector<double>* weights = nullptr, double least = 0) const;

  const std::vector<SpellingRule>& rules() const { return rules_; }

 private:
  void indexRules();

  std::vector<SpellingRule> rules_;
  // The rules by the first byte of their historical letters: those of
  // byte b are rulesByFirstByte_[firstRuleOfByte_[b], firstRuleOfByte_[b + 1]).
  std::vector<std::uint16_t> rulesByFirstByte_;
  std::array<std::uint16_t, 257> firstRuleOfByte_{};
  std::vector<std::uint16_t> droppedAtEnd_;  // the rules without historical letters
};

}  // namespace scanmend
