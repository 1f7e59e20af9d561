// Corrects one word of a page: tries every reading that the declared letter
// confusions allow, keeps those the dictionary knows, and decides.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/dictionary.h"
#include "files/unknown_words.h"
#include "run/options.h"
#include "run/run_stats.h"

namespace scanmend {

// The decision for one word, which depends only on the word, the tables
// and the dictionary.
struct WordOutcome {
  enum class Kind { CorrectUnchanged, ChangedIncorrect, Ambiguous, Unknown };
  Kind kind;
  std::string result;
};

// Remembers the outcomes of recent words, one per slot of a fixed table:
// a new word takes its slot over. Book text repeats a few thousand words
// over and over, so most words are found here and decided only once.
// Fixed size, and long words are never kept: memory does not grow.
class WordOutcomeCache {
 public:
  struct Entry {
    std::string word;
    WordOutcome outcome;
    std::int64_t* unknownCount = nullptr;  // the word's count, once looked up
  };
  static constexpr std::size_t kSlots = 1 << 15;
  static constexpr std::size_t kMaxWordLength = 32;

  // Where `word` would be kept.
  struct Slot {
    std::size_t index;
    std::uint32_t tag;
  };
  static Slot slotOf(std::string_view word);

  // The entry of `word`, or nullptr.
  Entry* find(std::string_view word, Slot slot);
  // Keeps `outcome` for `word`; nullptr when the word is too long to keep.
  Entry* store(std::string_view word, Slot slot, const WordOutcome& outcome);

 private:
  // Entries are made as slots are first used, so a short run costs little.
  // A slot's tag lets most other words pass without reading the entry.
  struct SlotState {
    std::uint32_t entry = 0;  // 0: empty, else entry index + 1
    std::uint32_t tag = 0;
  };
  std::vector<SlotState> slots_;
  std::vector<Entry> entries_;  // capacity kSlots: never moves
};

// What word correction reads and what it books its outcomes into; the run
// owns all of it.
struct CorrectionContext {
  const ConfusionTable& confusionTable;
  const OptionSet& optionSet;
  const Dictionary& dictionary;
  RunStats& runStats;
  UnknownWordCounts& unknownWordCounts;
  WordOutcomeCache outcomeCache{};
};

// Decides `word` without booking anything.
WordOutcome decideWord(std::string_view word, const ConfusionTable& table, const OptionSet& options,
                       const Dictionary& dictionary);

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
// class with every class that shares a letter with it), so that a
// dictionary loaded with it keeps all readings of a word close together.
LetterFold readingFold(const ConfusionTable& table);

// The dictionary readings of `word` under the confusions and options.
struct DictionaryReadings {
  std::size_t count = 0;
  std::string merged;  // the first reading, "*" wherever a later one differs
};
DictionaryReadings findDictionaryReadings(std::string_view word, const ConfusionTable& table,
                                          const OptionSet& options, const Dictionary& dictionary);

}  // namespace scanmend
