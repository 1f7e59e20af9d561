// Typical Fraktur misreadings inside one word ("fch" for "sch", "qn" for
// "qu", ...), the last resort for a word the dictionary knows in no reading.
#pragma once

#include <span>
#include <string>

#include "correction/options.h"
#include "correction/rule_table.h"

namespace scanmend {

// Twenty rows always apply; three groups only when their option word is set.
struct SubstitutionRuleGroups {
  std::span<const RewriteRule> always;
  std::span<const RewriteRule> bnu;
  std::span<const RewriteRule> bov;
  std::span<const RewriteRule> bbv;
};
SubstitutionRuleGroups substitutionRules();

// Runs the rows in table order over `word`. A pattern that begins (ends)
// with a space matches only at the start (end) of the word. Every row keeps
// the word's length.
std::string applySubstitutionRules(std::string_view word, const OptionSet& options);

}  // namespace scanmend
