// Weighs argument sets over a book's distinct words: the outcome that a
// run with those arguments gives each word, found with the run's own word
// decision; the statistics the run will print; and the value of a run, the
// estimated number of page words it gets right beyond the raw pages. A
// dictionary placed for the prefix walk serves every argument set, so it
// is loaded once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "book/book.h"
#include "correction/options.h"
#include "correction/run_stats.h"
#include "correction/word_outcome.h"
#include "dictionary/dictionary.h"
#include "profile/evidence.h"

namespace scanmend::advise {

// A command line with the tables a run builds from it, parsed once.
struct ArgumentSet {
  ArgumentSet() = default;
  explicit ArgumentSet(std::vector<std::string> words)
      : arguments(std::move(words)), tables(parseArguments(arguments)) {}
  bool contains(const std::string& word) const;
  ArgumentSet with(const std::string& word) const;
  ArgumentSet without(const std::string& word) const;

  std::vector<std::string> arguments;
  RunTables tables;
};

using Outcomes = std::vector<WordOutcome>;

// For each byte, the words (indices into the list) that hold it; 32 bits
// an index, which no book's distinct words exceed, halve the index.
using LetterIndex = std::array<std::vector<std::uint32_t>, 256>;
LetterIndex indexLetters(const std::vector<BookWord>& words);

Outcomes decideWords(const std::vector<BookWord>& words, const RunTables& tables,
                     const Dictionary& dictionary);

// The outcomes under `after`, given those under `before`: only the words
// that the difference can touch are decided again (those holding a letter
// whose class differs, and where rule groups differ, those without a
// dictionary reading).
Outcomes redecideWords(const std::vector<BookWord>& words, const LetterIndex& index,
                       const RunTables& before, const Outcomes& previous, const RunTables& after,
                       const Dictionary& dictionary);

// The statistics that a run over these words prints.
RunStats predictStatistics(const std::vector<BookWord>& words, const Outcomes& outcomes);

// The runs of argument sets over one list of classified words.
class Weighing {
 public:
  // All three must outlive the weighing.
  Weighing(const ClassifiedWords& words, const Dictionary& dictionary, const Evidence& evidence);

  Outcomes decide(const ArgumentSet& set) const;
  Outcomes redecide(const ArgumentSet& before, const Outcomes& previous,
                    const ArgumentSet& after) const;

  // The estimated number of page words that come out right, beyond the
  // raw pages: a changed word counts as right when every letter exchange
  // that made it is a misreading, and as wrong otherwise; a correct word
  // made ambiguous counts as lost.
  double value(const Outcomes& outcomes, const ArgumentSet& set) const;

  // Whether the outcome changes a word that the dictionary does not know.
  bool resolves(std::size_t i, const WordOutcome& outcome) const {
    return !words_.known[i] && outcome.kind == WordOutcome::Kind::ChangedIncorrect;
  }
  // Whether it makes a word that reads as correct ambiguous.
  bool putsAtRisk(std::size_t i, const WordOutcome& outcome) const {
    return words_.known[i] && outcome.kind == WordOutcome::Kind::Ambiguous;
  }

  const std::vector<BookWord>& words() const { return words_.words; }
  const Dictionary& dictionary() const { return dictionary_; }
  const ClassifiedWords& classified() const { return words_; }

 private:
  double valueOf(std::size_t i, const WordOutcome& outcome, const ConfusionTable& table) const;

  const ClassifiedWords& words_;
  const Dictionary& dictionary_;
  const Evidence& evidence_;
  LetterIndex index_;
};

}  // namespace scanmend::advise
