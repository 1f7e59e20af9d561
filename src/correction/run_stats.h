// The run's five word counters, what each outcome of a word adds to them,
// and their lines as a run prints them. They are 64-bit so that no run,
// however long, overflows them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// The five counter lines, "Total words:" to "Unknown words:", each after
// `indent` and ended by `lineEnd`. scanmend's statistics and the advisor's
// prediction of them both use it, so that their labels cannot drift apart.
std::string formatCounterLines(const RunStats& stats, std::string_view indent,
                               std::string_view lineEnd);

}  // namespace scanmend
