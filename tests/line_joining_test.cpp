#include "correction/line_joining.h"

#include <gtest/gtest.h>

#include <random>

#include "step_by_step_join.h"

namespace scanmend {
namespace {

using testing::joinStepByStep;

struct JoinCase {
  std::string text;
  std::string expected;
};

class JoinLines : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinLines, JoinsBrokenWords) {
  EXPECT_EQ(joinHyphenatedLines(GetParam().text), GetParam().expected);
  EXPECT_EQ(joinStepByStep(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, JoinLines,
    ::testing::Values(JoinCase{"Ver=\nbindung der Teile\nund", "Verbindung\nder Teile\nund"},
                      JoinCase{"Ver=\nbindung, der\nMann", "Verbindung,\nder\nMann"},
                      JoinCase{"Ver=\nbindung der Teile", "Verbindung der Teile"},
                      JoinCase{"Ver=\nbindung\nder Mann", "Verbindung\nder Mann"},
                      JoinCase{"Ver=\nbin=\ndung der\nTeile", "Verbindung\nder\nTeile"},
                      JoinCase{"Ver=\n\nbindung der", "Ver=\n\nbindung der"},
                      JoinCase{"Ver=\nbindung", "Ver=\nbindung"},
                      JoinCase{"a b Ver=\nbindung", "a b Ver=\nbindung"},
                      JoinCase{"Ver=\n bindung der\nMann", "Ver\nbindung der\nMann"},
                      JoinCase{"Nord=Amerika", "Nord=Amerika"},
                      JoinCase{"a=\n= b\nc d", "a=\nb\nc d"}, JoinCase{"", ""},
                      JoinCase{"=\n", "=\n"}, JoinCase{"x=\n=\n=\ny z", "x=\ny z"}));

TEST(JoinLines, AgreesWithTheStepByStepJoinOnRandomText) {
  std::mt19937 random(20261207);
  const std::string alphabet = "ab =\n\n  ==";
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 24, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    ASSERT_EQ(joinHyphenatedLines(text), joinStepByStep(text)) << "text: " << text;
  }
}

TEST(JoinLines, ManyMarkersOnOnePage) {
  std::string page;
  std::string expected;
  for (int i = 0; i < 1000; ++i) {
    page += "Wort=\nende und\n";
    expected += "Wortende\nund\n";
  }
  EXPECT_EQ(joinHyphenatedLines(page), expected);
}

}  // namespace
}  // namespace scanmend
