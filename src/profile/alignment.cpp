#include "profile/alignment.h"

#include <algorithm>

namespace scanmend {

std::vector<AlignedStep> alignWords(std::string_view read, std::string_view meant) {
  const std::size_t n = read.size();
  const std::size_t m = meant.size();
  constexpr double kNone = 1e9;
  // Keeping a letter is free, exchanging it costs 1; one letter read for
  // two, or two for one, is one misreading and cheaper than two.
  std::vector<double> cost((n + 1) * (m + 1), kNone);
  std::vector<std::pair<unsigned char, unsigned char>> from((n + 1) * (m + 1));
  const auto cell = [m](std::size_t i, std::size_t j) { return i * (m + 1) + j; };
  cost[0] = 0;
  for (std::size_t i = 0; i <= n; ++i)
    for (std::size_t j = 0; j <= m; ++j) {
      const double here = cost[cell(i, j)];
      if (here >= kNone) continue;
      const auto go = [&](std::size_t di, std::size_t dj, double step) {
        if (i + di > n || j + dj > m) return;
        if (here + step < cost[cell(i + di, j + dj)]) {
          cost[cell(i + di, j + dj)] = here + step;
          from[cell(i + di, j + dj)] = {static_cast<unsigned char>(di),
                                        static_cast<unsigned char>(dj)};
        }
      };
      if (i < n && j < m) go(1, 1, read[i] == meant[j] ? 0.0 : 1.0);
      go(1, 2, 1.4);
      go(2, 1, 1.4);
      go(1, 0, 1.0);
      go(0, 1, 1.0);
    }
  std::vector<AlignedStep> steps;
  for (std::size_t i = n, j = m; i > 0 || j > 0;) {
    const auto [di, dj] = from[cell(i, j)];
    i -= di;
    j -= dj;
    steps.push_back({i, di, std::string(meant.substr(j, dj))});
  }
  std::reverse(steps.begin(), steps.end());
  std::vector<AlignedStep> joined;
  std::string added;
  for (AlignedStep& step : steps) {
    if (step.length == 0) {
      added += step.meant;
      continue;
    }
    step.meant = added + step.meant;
    added.clear();
    joined.push_back(std::move(step));
  }
  // Letters left out at the word's end are a step of their own, of no
  // scanned letter: "dur" is "durch" with "ch" added.
  if (!added.empty()) joined.push_back({n, 0, std::move(added)});
  return joined;
}

}  // namespace scanmend
