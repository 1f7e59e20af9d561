// The prior profiles that the tools ship, data/prior/*.tsv, compiled in:
// the name of tesseract's model and the profile's text.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

namespace scanmend {

extern const std::vector<std::pair<std::string_view, std::string_view>> kShippedPriors;

}  // namespace scanmend
