// Settles "a*s" (an ambiguous aus/ans/...) from its neighbours on a whole
// corrected page, and turns every "=" into "-".
#pragma once

#include <span>
#include <string>

#include "correction/rule_table.h"

namespace scanmend {

// The 27 rows, applied in this order.
std::span<const RewriteRule> phraseRules();

std::string repairPhrases(std::string text);

}  // namespace scanmend
