#include "correction/replace_all.h"

#include <gtest/gtest.h>

namespace scanmend {
namespace {

struct ReplaceCase {
  std::string text;
  std::string pattern;
  std::string replacement;
  std::string expected;
};

class ReplaceAll : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceAll, ReplacesEveryOccurrence) {
  std::string text = GetParam().text;
  replaceAll(text, GetParam().pattern, GetParam().replacement);
  EXPECT_EQ(text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ReplaceAll,
    ::testing::Values(ReplaceCase{"a=b=c", "=", "-", "a-b-c"},
                      // The added spaces let patterns match at the start and the end.
                      ReplaceCase{"a*s. Er", " a*s.", " aus.", "aus. Er"},
                      ReplaceCase{"Maueru", "eru ", "ern ", "Mauern"},
                      // The search resumes at the inserted text.
                      ReplaceCase{"tftft", "tft", "tst", "tstst"},
                      ReplaceCase{"a*s dem a*s dem Hause", " a*s dem ", " aus dem ",
                                  "aus dem aus dem Hause"},
                      ReplaceCase{"keine Stelle", "qn", "qu", "keine Stelle"},
                      ReplaceCase{"", "qn", "qu", ""}, ReplaceCase{"Qnelle", "qn", "qu", "Qnelle"},
                      // Calls the rule tables never make still end.
                      ReplaceCase{"abc", "", "x", "abc"}, ReplaceCase{"aaa", "a", "aa", "aaaaaa"},
                      ReplaceCase{"aXa", "a", "ba", "baXba"}, ReplaceCase{"abab", "ab", "", ""},
                      // The search resumes where the replacement went in, never before it.
                      ReplaceCase{"xaab", "ab", "b", "xab"},
                      // A replacement that eats a padding space reads nothing outside.
                      ReplaceCase{"", " ", "", ""}, ReplaceCase{"a", " a ", "", ""},
                      ReplaceCase{"ab", "b ", "", ""}));

}  // namespace
}  // namespace scanmend
