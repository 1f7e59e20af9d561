// A row of a fixed rewrite table: every occurrence of `pattern` becomes
// `replacement`, which always has the same length.
#pragma once

#include <string_view>

namespace scanmend {

struct RewriteRule {
  std::string_view pattern;
  std::string_view replacement;
};

}  // namespace scanmend
