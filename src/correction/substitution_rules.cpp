#include "correction/substitution_rules.h"

#include <array>

#include "correction/replace_all.h"

namespace scanmend {
namespace {

using namespace std::string_view_literals;

// clang-format off
constexpr std::array<RewriteRule, 20> kAlways{{
    {"Qn"sv, "Qu"sv},
    {" muffen"sv, " m\xFCssen"sv},
    {"qn"sv, "qu"sv},
    {"fch"sv, "sch"sv},
    {"uug"sv, "ung"sv},
    {"nng"sv, "ung"sv},
    {"tft"sv, "tst"sv},
    {"ui\xDF"sv, "ni\xDF"sv},
    {"eru "sv, "ern "sv},
    {"Pern "sv, "Peru "sv},
    {" fp"sv, " sp"sv},
    {" ft"sv, " st"sv},
    {"eu "sv, "en "sv},
    {"fp"sv, "sp"sv},
    {" nm"sv, " um"sv},
    {" Ea"sv, " Ca"sv},
    {" Ee"sv, " Ce"sv},
    {"fam"sv, "sam"sv},
    {"chf"sv, "chs"sv},
    {"fier"sv, "sier"sv},
}};
// clang-format on

// clang-format off
constexpr std::array<RewriteRule, 6> kBnu{{
    {"tn"sv, "tu"sv},
    {" mn"sv, " mu"sv},
    {"Mn"sv, "Mu"sv},
    {"eud"sv, "end"sv},
    {"eus"sv, "ens"sv},
    {"rnp"sv, "rup"sv},
}};
// clang-format on

// clang-format off
constexpr std::array<RewriteRule, 8> kBov{{
    {"vv"sv, "vo"sv},
    {"io "sv, "iv "sv},
    {"ios "sv, "ivs "sv},
    {"oer"sv, "ver"sv},
    {"oor"sv, "vor"sv},
    {"oon"sv, "von"sv},
    {"oen"sv, "ven"sv},
    {"oie"sv, "vie"sv},
}};
// clang-format on

// clang-format off
constexpr std::array<RewriteRule, 1> kBbv{{
    {" Bor"sv, " Vor"sv},
}};
// clang-format on

// Every row keeps the two padding spaces, so the word is padded once and
// all rows run on the padded form.
void applyRows(std::string& padded, std::span<const RewriteRule> rows) {
  for (const RewriteRule& row : rows) replaceAllPadded(padded, row.pattern, row.replacement);
}

}  // namespace

SubstitutionRuleGroups substitutionRules() { return {kAlways, kBnu, kBov, kBbv}; }

std::string applySubstitutionRules(std::string_view word, const OptionSet& options) {
  std::string padded = padWithSpaces(word);
  applyRows(padded, kAlways);
  if (options.contains(OptionWord::Bnu)) applyRows(padded, kBnu);
  if (options.contains(OptionWord::Bov)) applyRows(padded, kBov);
  if (options.contains(OptionWord::BBV)) applyRows(padded, kBbv);
  return stripPadding(std::move(padded));
}

}  // namespace scanmend
