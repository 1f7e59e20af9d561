// Weighs an argument set over a book's distinct words: the outcome that a
// run with those arguments gives each word, found with the run's own word
// decision, and the statistics the run will print. A dictionary placed for
// the prefix walk serves every argument set, so it is loaded once.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "advise/book.h"
#include "correction/options.h"
#include "correction/run_stats.h"
#include "correction/word_outcome.h"
#include "dictionary/dictionary.h"

namespace scanmend::advise {

// The tables a run builds from its arguments.
struct RunTables {
  explicit RunTables(const std::vector<std::string>& arguments);
  ConfusionTable confusionTable;
  OptionSet optionSet;
};

using Outcomes = std::vector<WordOutcome>;

// For each byte, the words (indices into the list) that hold it.
using LetterIndex = std::array<std::vector<std::size_t>, 256>;
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

}  // namespace scanmend::advise
