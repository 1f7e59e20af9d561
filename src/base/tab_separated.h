// The cells of one line of a tab-separated table, the files that the tools
// write for people to read and edit (manifests, profiles).
#pragma once

#include <string_view>
#include <vector>

namespace scanmend {

inline std::vector<std::string_view> tabSeparatedCells(std::string_view line) {
  std::vector<std::string_view> out;
  for (std::size_t at = 0;;) {
    const std::size_t tab = line.find('\t', at);
    out.push_back(line.substr(at, tab - at));
    if (tab == std::string_view::npos) return out;
    at = tab + 1;
  }
}

}  // namespace scanmend
