// The run's word counters. Word correction is their only writer; the run
// prints them at the end. They are 64-bit so that no run, however long,
// overflows them.
#pragma once

#include <cstdint>

#include "correction/word_outcome.h"

namespace scanmend {

struct RunStats {
  std::int64_t totalWords = 0;
  std::int64_t correctUnchanged = 0;
  std::int64_t changedIncorrect = 0;
  std::int64_t ambiguousWords = 0;
  std::int64_t unknownWords = 0;

  bool operator==(const RunStats&) const = default;
};

// Adds `count` words to the total and to the counter of their outcome.
inline void countOutcome(WordOutcome::Kind kind, std::int64_t count, RunStats& stats) {
  stats.totalWords += count;
  switch (kind) {
    case WordOutcome::Kind::CorrectUnchanged:
      stats.correctUnchanged += count;
      break;
    case WordOutcome::Kind::ChangedIncorrect:
      stats.changedIncorrect += count;
      break;
    case WordOutcome::Kind::Ambiguous:
      stats.ambiguousWords += count;
      break;
    case WordOutcome::Kind::Unknown:
      stats.unknownWords += count;
      break;
  }
}

}  // namespace scanmend
