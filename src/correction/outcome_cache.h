// Remembers the outcomes of words a run has already decided. Books repeat
// their words, so most page words are decided once and found here after.
// A fixed number of slots, each holding a word and its outcome inline, is
// filled by the word's hash (the caller's, the dictionary's folded hash),
// in sets of two: a new word goes first in its set and pushes the older
// one second, whose place it takes. So the memory is fixed, the often
// repeated words stay, and two words that fold alike ("auf", "aus") do not
// drive each other out.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "correction/word_outcome.h"

namespace scanmend {

class OutcomeCache {
 public:
  static constexpr std::size_t kMaxWordLength = 22;  // longer words are decided every time

  // `slots` is rounded up to a power of two, and at least two.
  explicit OutcomeCache(std::size_t slots);

  struct Entry {
    WordOutcome::Kind kind;
    std::string_view result;  // valid until the next remember()
  };
  bool find(std::string_view word, std::uint64_t hash, Entry& entry) const;
  void remember(std::string_view word, std::uint64_t hash, const WordOutcome& outcome);
  void prefetch(std::uint64_t hash) const { __builtin_prefetch(&setOf(hash)); }

 private:
  struct Slot {
    std::uint8_t length = 0xFF;  // 0xFF: empty
    WordOutcome::Kind kind{};
    char word[kMaxWordLength];
    char result[kMaxWordLength];
  };
  Slot& setOf(std::uint64_t hash) const { return slots_[(hash >> 32) & (slots_.size() - 2)]; }

  mutable std::vector<Slot> slots_;
};

}  // namespace scanmend
