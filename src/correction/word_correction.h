// Corrects one word of a page: finds the readings that the declared letter
// confusions allow and the dictionary knows, and decides.
#pragma once

#include <string>
#include <string_view>

#include "correction/options.h"
#include "correction/run_stats.h"
#include "dictionary/dictionary.h"
#include "files/unknown_words.h"

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

// Folds together the letters that readings may exchange (each confusion
// class with every class that shares a letter with it). A dictionary loaded
// with it keeps all readings of a word in one probe run, which one scan
// searches, however many readings the word has.
LetterFold readingFold(const ConfusionTable& table);

// The dictionary readings of `word` under the confusions and options: the
// dictionary words that have, at each position, one of the letters that the
// word's letter may stand for. Found without trying the readings one by one.
struct DictionaryReadings {
  std::size_t count = 0;
  std::string merged;  // the first reading, "*" wherever a later one differs
};
DictionaryReadings findDictionaryReadings(std::string_view word, const ConfusionTable& table,
                                          const OptionSet& options, const Dictionary& dictionary);

}  // namespace scanmend
