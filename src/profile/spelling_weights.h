// How surely a book uses each rule of the spelling table. A book of 1600
// prints "vnd" on every page and never "und"; a book of 1880 that shows
// "vnd" once beside a hundred "und" has a misreading there, not its
// spelling. So a rule weighs by the occurrences of the book's words that
// it alone explains against the occurrences of the dictionary words that
// those words stand for, printed as the dictionary has them: a rule that
// the book uses often and never contradicts weighs nearly 1, a rule seen
// once weighs little, and one whose words the book mostly prints in the
// spelling of 1901 weighs less still.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "book/book.h"
#include "profile/known_words.h"
#include "profile/profile.h"

namespace scanmend {

struct RuleUse {
  double weight = 0;
  std::int64_t words = 0;  // distinct words of the book that the rule helps explain
  std::int64_t uses = 0;   // their occurrences
  std::int64_t twins = 0;  // occurrences of the dictionary words they stand for, printed so
  std::vector<std::string> examples;  // "printed>dictionary word", the most frequent first
};

// One use per rule of `known`'s spelling table, by the rules' numbers.
// `known` must not weigh the rules yet. Once the book's misreadings are
// known (`profile`), a word that a likely misreading makes a dictionary
// word as well ("Nechte", the "N\xE4chte" of "e" for "\xE4" or the
// "Rechte" of "N" read for "R") speaks against its rules as a twin does.
std::vector<RuleUse> weighSpellingRules(const std::vector<BookWord>& words, const KnownWords& known,
                                        const Profile* profile = nullptr);

// The weights alone, for KnownWords::weighRules.
std::vector<double> weightsOf(const std::vector<RuleUse>& uses);

}  // namespace scanmend
