#include "correction/run_stats.h"

#include <array>
#include <utility>

namespace scanmend {

std::string formatCounterLines(const RunStats& stats, std::string_view indent,
                               std::string_view lineEnd) {
  const std::array<std::pair<std::string_view, std::int64_t>, 5> lines{{
      {"Total words:                  ", stats.totalWords},
      {"Correct words left unchanged: ", stats.correctUnchanged},
      {"Changed incorrect words:      ", stats.changedIncorrect},
      {"Ambiguous words:              ", stats.ambiguousWords},
      {"Unknown words:                ", stats.unknownWords},
  }};
  std::string text;
  for (const auto& [label, count] : lines) {
    text += indent;
    text += label;
    text += std::to_string(count);
    text += lineEnd;
  }
  return text;
}

}  // namespace scanmend
