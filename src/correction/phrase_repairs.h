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

// The same on a text that already has one space added at each end, as the
// rows' searches need; a page built that way is repaired without a copy.
void repairPaddedPhrases(std::string& padded);

}  // namespace scanmend
