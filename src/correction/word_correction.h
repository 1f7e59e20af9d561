// Corrects one word of a page: finds the readings that the declared letter
// confusions allow and the dictionary knows, and decides.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "correction/options.h"
#include "correction/outcome_cache.h"
#include "correction/run_stats.h"
#include "correction/unknown_words.h"
#include "correction/word_outcome.h"
#include "dictionary/dictionary.h"

namespace scanmend {

// What word correction reads and what it books its outcomes into; the run
// owns all of it.
struct CorrectionContext {
  const ConfusionTable& confusionTable;
  const OptionSet& optionSet;
  const Dictionary& dictionary;
  RunStats& runStats;
  UnknownWordCounts& unknownWordCounts;
  OutcomeCache* outcomeCache = nullptr;  // when set, each distinct word is decided once
};

// A page word with its hash under the dictionary's fold, which places its
// readings in the dictionary and the word in the outcome cache. Computed
// once per word, ahead of its correction.
struct PageWord {
  PageWord() = default;
  PageWord(std::string_view word, const Dictionary& dictionary)
      : text(word), foldedHash(dictionary.foldedHash(word)) {}
  std::string_view text;
  std::uint64_t foldedHash = 0;
};

// Returns what replaces `word` (non-empty) in the page:
//  - one known reading: that reading;
//  - several: the letters they agree on, "*" where they differ;
//  - none: the word as the I/J rule ("I") and the substitution rules
//    ("german") rewrite it, or else the word itself, counted as unknown.
// Adds 1 to `totalWords` and to exactly one outcome counter.
std::string correctWord(const PageWord& word, CorrectionContext& context);
inline std::string correctWord(std::string_view word, CorrectionContext& context) {
  return correctWord(PageWord(word, context.dictionary), context);
}

// The same, appending the result to `output`.
void appendCorrectedWord(std::string& output, const PageWord& word, CorrectionContext& context);

// Starts fetching the memory that correcting `word` will read; a hint only.
void prefetchDecision(const PageWord& word, const CorrectionContext& context);

// The same decision without booking it anywhere.
WordOutcome decideWord(const PageWord& word, const ConfusionTable& table, const OptionSet& options,
                       const Dictionary& dictionary);
inline WordOutcome decideWord(std::string_view word, const ConfusionTable& table,
                              const OptionSet& options, const Dictionary& dictionary) {
  return decideWord(PageWord(word, dictionary), table, options, dictionary);
}

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
DictionaryReadings findDictionaryReadings(const PageWord& word, const ConfusionTable& table,
                                          const OptionSet& options, const Dictionary& dictionary);
// The same readings, each of them, in the order the search finds them.
std::vector<std::string> listDictionaryReadings(std::string_view word, const ConfusionTable& table,
                                                const OptionSet& options,
                                                const Dictionary& dictionary);
inline DictionaryReadings findDictionaryReadings(std::string_view word, const ConfusionTable& table,
                                                 const OptionSet& options,
                                                 const Dictionary& dictionary) {
  return findDictionaryReadings(PageWord(word, dictionary), table, options, dictionary);
}

}  // namespace scanmend
