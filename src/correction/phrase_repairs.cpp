#include "correction/phrase_repairs.h"

#include <array>

#include "correction/replace_all.h"

namespace scanmend {
namespace {

using namespace std::string_view_literals;

// clang-format off
constexpr std::array<RewriteRule, 27> kPhraseRules{{
    {" a*s."sv, " aus."sv},
    {" a*s,"sv, " aus,"sv},
    {"A*s dem "sv, "Aus dem "sv},
    {"A*s der "sv, "Aus der "sv},
    {"A*s einem "sv, "Aus einem "sv},
    {"A*s einer "sv, "Aus einer "sv},
    {"A*s diesem "sv, "Aus diesem "sv},
    {"A*s dieser "sv, "Aus dieser "sv},
    {" a*s dem "sv, " aus dem "sv},
    {" a*s der "sv, " aus der "sv},
    {" a*s einem "sv, " aus einem "sv},
    {" a*s einer "sv, " aus einer "sv},
    {" a*s diesem "sv, " aus diesem "sv},
    {" a*s dieser "sv, " aus dieser "sv},
    {"\na*s dem "sv, "\naus dem "sv},
    {"\na*s der "sv, "\naus der "sv},
    {"\na*s einem "sv, "\naus einem "sv},
    {"\na*s einer "sv, "\naus einer "sv},
    {"\na*s diesem "sv, "\naus diesem "sv},
    {"\na*s dieser "sv, "\naus dieser "sv},
    {" a*s dem\n"sv, " aus dem\n"sv},
    {" a*s der\n"sv, " aus der\n"sv},
    {" a*s einem\n"sv, " aus einem\n"sv},
    {" a*s einer\n"sv, " aus einer\n"sv},
    {" a*s diesem\n"sv, " aus diesem\n"sv},
    {" a*s dieser\n"sv, " aus dieser\n"sv},
    {"="sv, "-"sv},
}};
// clang-format on

// Rows whose pattern holds one "*" that the replacement turns into "u",
// leaving every other byte. An occurrence of such a row can only stand
// around a "*" of the page, so instead of searching a whole page for each
// row we visit its "*" bytes. Replacing one occurrence never makes or
// breaks another of the same row (no pattern holds a "u" or a second "*"),
// so visiting left to right gives what a search from the start gives.
bool replaceAroundStars(std::string& padded, const RewriteRule& rule) {
  const std::size_t star = rule.pattern.find('*');
  if (star == std::string_view::npos || rule.pattern.find('*', star + 1) != std::string_view::npos)
    return false;
  for (std::size_t i = 0; i < rule.pattern.size(); ++i) {
    const bool same = rule.pattern[i] == rule.replacement[i];
    if (i == star ? (same || rule.replacement[i] != 'u') : !same) return false;
  }
  if (rule.pattern.find('u') != std::string_view::npos) return false;

  for (std::size_t at = padded.find('*'); at != std::string::npos; at = padded.find('*', at + 1)) {
    if (at < star) continue;
    const std::size_t start = at - star;
    if (std::string_view(padded).substr(start, rule.pattern.size()) == rule.pattern)
      padded[at] = 'u';
  }
  return true;
}

}  // namespace

std::span<const RewriteRule> phraseRules() { return kPhraseRules; }

std::string repairPhrases(std::string text) {
  std::string padded = padWithSpaces(text);
  text = std::string();  // the page is held once more only while padded
  repairPaddedPhrases(padded);
  return stripPadding(std::move(padded));
}

void repairPaddedPhrases(std::string& padded) {
  const bool anyStar = padded.find('*') != std::string::npos;
  for (const RewriteRule& rule : kPhraseRules) {
    if (rule.pattern.size() == 1 && rule.replacement.size() == 1) {
      for (std::size_t at = padded.find(rule.pattern[0]); at != std::string::npos;
           at = padded.find(rule.pattern[0], at + 1))
        padded[at] = rule.replacement[0];
    } else if (!anyStar && rule.pattern.find('*') != std::string_view::npos) {
      continue;
    } else if (!replaceAroundStars(padded, rule)) {
      replaceAllPadded(padded, rule.pattern, rule.replacement);
    }
  }
}

}  // namespace scanmend
