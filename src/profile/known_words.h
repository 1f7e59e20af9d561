// What makes a word of a book right as it stands though the dictionary may
// lack it: it is listed; it is the capitalised form of a listed word (a
// sentence start, "Die" for "die"); it is the book's own spelling of a
// listed word ("Theil" for "Teil", by the spelling table); or it is a
// compound of such words ("Gutsbesitzer", "Stadtrath"). Such a word
// keeps itself unless a misreading is far likelier, and the letters in
// which it differs from the dictionary are never learned as a misreading.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dictionary/sorted_words.h"
#include "profile/spelling.h"

namespace scanmend {

// A spelling whose rules the book follows this little (their weights
// multiplied) is no spelling of its own: the word may as well be a
// misreading ("Fursten" in a book that prints "F\xFCrsten").
inline constexpr double kLeastSpellingWeight = 0.1;

struct KnownWord {
  enum class Why { Unknown, Listed, Capitalised, Spelling, Compound };
  Why why = Why::Unknown;
  // For Spelling the word of 1901 ("Teil"), for Compound the parts joined
  // by "+" ("Guts+besitzer").
  std::string detail;
  // For Spelling the rules that make it, and how surely this book spells
  // so: the product of their weights in the book, 1 where none are known.
  std::vector<std::uint16_t> rules;
  double weight = 1.0;

  bool known() const { return why != Why::Unknown; }
  // Known for a reason beyond the dictionary: the period's spelling or a
  // compound.
  bool beyondTheDictionary() const { return why == Why::Spelling || why == Why::Compound; }
};

class KnownWords {
 public:
  // Both must outlive this object. Not safe to share between threads: it
  // keeps what it found.
  KnownWords(const SortedWords& lexicon, const Spelling& spelling)
      : lexicon_(lexicon), spelling_(spelling) {}

  KnownWord of(std::string_view word) const;
  // How surely the book uses each rule of the spelling table, by the
  // rules' numbers; without them every rule counts fully.
  void weighRules(std::vector<double> weights);
  const std::vector<double>& ruleWeights() const { return weights_; }
  const SortedWords& lexicon() const { return lexicon_; }
  const Spelling& spelling() const { return spelling_; }

 private:
  // The parts of a compound of known words, or empty.
  std::string compoundParts(std::string_view word, int depth) const;
  // Whether the last part of a compound is a word, as printed or of 1901.
  bool knownPart(std::string_view part) const;
  // How surely the book follows the rules that make `form`.
  double weightOf(const SpellingForm& form) const;

  // The spelling's reading of a word, found once: each form of a book is
  // asked for by learning, weighing and deciding alike.
  const std::optional<SpellingForm>& explained(std::string_view word) const;

  const SortedWords& lexicon_;
  const Spelling& spelling_;
  std::vector<double> weights_;
  mutable std::unordered_map<std::string, std::optional<SpellingForm>> explained_;
};

}  // namespace scanmend
