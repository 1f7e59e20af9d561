#include "correction/phrase_repairs.h"

#include <gtest/gtest.h>

#include <random>

#include "correction/replace_all.h"

namespace scanmend {
namespace {

// Every row through replaceAll, in table order.
std::string repairRowByRow(std::string text) {
  for (const RewriteRule& rule : phraseRules()) replaceAll(text, rule.pattern, rule.replacement);
  return text;
}

struct RepairCase {
  std::string text;
  std::string expected;
};

class RepairPhrases : public ::testing::TestWithParam<RepairCase> {};

TEST_P(RepairPhrases, SettlesAusFromItsNeighbours) {
  EXPECT_EQ(repairPhrases(GetParam().text), GetParam().expected);
  EXPECT_EQ(repairRowByRow(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RepairPhrases,
    ::testing::Values(
        RepairCase{"Er kam a*s dem Hause.", "Er kam aus dem Hause."},
        RepairCase{"A*s der Stadt", "Aus der Stadt"},
        RepairCase{"Er ging. A*s der Stadt", "Er ging. Aus der Stadt"},
        RepairCase{"a*s dem Hause", "aus dem Hause"}, RepairCase{"Er ging a*s.", "Er ging aus."},
        RepairCase{"a*s, und", "aus, und"}, RepairCase{"kam a*s dem\nHause", "kam aus dem\nHause"},
        RepairCase{"x\na*s einer Stadt", "x\naus einer Stadt"},
        RepairCase{"a*s dem a*s dem Hause", "aus dem aus dem Hause"},
        RepairCase{"Er kam a*s dieser", "Er kam aus dieser"},
        RepairCase{"a*s den a*s einen", "a*s den a*s einen"},
        RepairCase{"(a*s dem \xAB"
                   "a*s dem",
                   "(a*s dem \xAB"
                   "a*s dem"},
        RepairCase{"A*S dem a*s Dem", "A*S dem a*s Dem"}, RepairCase{"kam a*s\n", "kam a*s\n"},
        RepairCase{"Nord=Amerika und Ver=\nbindung", "Nord-Amerika und Ver-\nbindung"},
        RepairCase{"", ""}));

TEST(RepairPhrases, AgreesWithRowByRowReplacementOnRandomText) {
  std::mt19937 random(7);
  const std::vector<std::string> pieces{"a*s",    "A*s", " ", "\n", "dem", "der", "einem",
                                        "diesem", ".",   ",", "=",  "x",   "*",   "us"};
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int i = random() % 12; i > 0; --i) text += pieces[random() % pieces.size()];
    ASSERT_EQ(repairPhrases(text), repairRowByRow(text)) << "text: " << text;
  }
}

TEST(PhraseRules, EveryRowKeepsTheLength) {
  ASSERT_EQ(phraseRules().size(), 27u);
  for (const RewriteRule& rule : phraseRules())
    EXPECT_EQ(rule.pattern.size(), rule.replacement.size()) << rule.pattern;
}

}  // namespace
}  // namespace scanmend
