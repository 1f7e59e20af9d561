// Corrects one word of a page: tries every reading that the declared letter
// confusions allow, keeps those the dictionary knows, and decides.
#pragma once

#include <string>
#include <string_view>

#include "dictionary/dictionary.h"
#include "files/unknown_words.h"
#include "run/options.h"
#include "run/run_stats.h"

namespace scanmend {

// What word correction reads and what it books its outcomes into; the run
// owns all of it.
struct CorrectionContext {
  const ConfusionTable& confusionTable;
  const OptionSet& optionSet;
  const Dictionary& dictionary;
  RunStats& runStats;
  UnknownWordCounts& unknownWordCounts;
};

// Returns what replaces `word` (non-empty) in the page:
//  - one known reading: that reading;
//  - several: the letters they agree on, "*" where they differ;
//  - none: the word as the I/J rule ("I") and the substitution rules
//    ("german") rewrite it, or else the word itself, counted as unknown.
// Adds 1 to `totalWords` and to exactly one outcome counter.
std::string correctWord(std::string_view word, CorrectionContext& context);

// For a word starting with I or J: J before a small vowel, I otherwise.
std::string applyIJRule(std::string word);

// The dictionary readings of `word` under the confusions and options.
struct DictionaryReadings {
  std::size_t count = 0;
  std::string merged;  // the first reading, "*" wherever a later one differs
};
DictionaryReadings findDictionaryReadings(std::string_view word, const ConfusionTable& table,
                                          const OptionSet& options, const Dictionary& dictionary);

}  // namespace scanmend
