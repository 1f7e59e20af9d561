// The spelling table that the tools ship, data/spelling.tsv, compiled in.
#pragma once

#include <string_view>

namespace scanmend {

extern const std::string_view kShippedSpelling;

}  // namespace scanmend
