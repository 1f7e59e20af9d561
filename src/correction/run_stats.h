// The run's word counters. Word correction is their only writer; the run
// prints them at the end. They are 64-bit so that no run, however long,
// overflows them.
#pragma once

#include <cstdint>

namespace scanmend {

struct RunStats {
  std::int64_t totalWords = 0;
  std::int64_t correctUnchanged = 0;
  std::int64_t changedIncorrect = 0;
  std::int64_t ambiguousWords = 0;
  std::int64_t unknownWords = 0;

  bool operator==(const RunStats&) const = default;
};

}  // namespace scanmend
