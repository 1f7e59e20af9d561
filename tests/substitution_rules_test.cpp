#include "correction/substitution_rules.h"

#include <gtest/gtest.h>

#include "correction/replace_all.h"

namespace scanmend {
namespace {

OptionSet optionsFrom(const std::vector<std::string>& arguments) {
  return parseArguments(arguments).optionSet;
}

struct RuleCase {
  std::vector<std::string> arguments;
  std::string word;
  std::string expected;
};

class SubstitutionRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(SubstitutionRules, RewriteTheWord) {
  EXPECT_EQ(applySubstitutionRules(GetParam().word, optionsFrom(GetParam().arguments)),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    WithoutOptionWords, SubstitutionRules,
    ::testing::Values(RuleCase{{}, "Qnelle", "Quelle"}, RuleCase{{}, "QNelle", "QNelle"},
                      RuleCase{{}, "fp\xE4t", "sp\xE4t"},
                      RuleCase{{},
                               "Gefpr\xE4"
                               "ch",
                               "Gespr\xE4"
                               "ch"},
                      RuleCase{{}, "ftark", "stark"}, RuleCase{{}, "Kunft", "Kunft"},
                      RuleCase{{}, "muffen", "m\xFCssen"}, RuleCase{{}, "Muffen", "Muffen"},
                      RuleCase{{}, "ausmuffen", "ausmuffen"}, RuleCase{{}, "habeu", "haben"},
                      RuleCase{{}, "neu", "nen"}, RuleCase{{}, "Maueru", "Mauern"},
                      RuleCase{{}, "Peru", "Peru"}, RuleCase{{}, "Pern", "Peru"},
                      RuleCase{{}, "Tifchfchublade", "Tischschublade"},
                      RuleCase{{}, "h\xE4ltft", "h\xE4ltst"}, RuleCase{{}, "tftft", "tstst"},
                      RuleCase{{}, "Eapitel", "Capitel"},
                      RuleCase{{}, "Erkenntui\xDF", "Erkenntni\xDF"},
                      RuleCase{{}, "nmher", "umher"}, RuleCase{{}, "Eeder", "Ceder"},
                      RuleCase{{}, "wachfen", "wachsen"}, RuleCase{{}, "einfam", "einsam"},
                      RuleCase{{}, "probieren", "probieren"}, RuleCase{{}, "fiert", "siert"},
                      RuleCase{{}, "", ""}));

INSTANTIATE_TEST_SUITE_P(
    WithOptionWords, SubstitutionRules,
    ::testing::Values(
        RuleCase{{}, "Tugeud", "Tugeud"}, RuleCase{{"Bnu"}, "Tugeud", "Tugend"},
        RuleCase{{"Bun"}, "Natnr", "Natur"}, RuleCase{{}, "Natnr", "Natnr"},
        // Row 8 makes "tn", which row 21 turns back into "tu".
        RuleCase{{"Bnu"}, "Erkenntui\xDF", "Erkenntui\xDF"}, RuleCase{{"Bnu"}, "mnfs", "mufs"},
        RuleCase{{"Bnu"}, "Mnth", "Muth"}, RuleCase{{"Bnu"}, "Morgeus", "Morgens"},
        RuleCase{{"Bnu"}, "Trnppe", "Truppe"}, RuleCase{{"Bov"}, "oerloren", "verloren"},
        RuleCase{{}, "oerloren", "oerloren"}, RuleCase{{"Bvo"}, "vvn", "von"},
        RuleCase{{"Bov"}, "Motio", "Motiv"}, RuleCase{{"Bov"}, "Motios", "Motivs"},
        RuleCase{{"Bov"}, "oorbei", "vorbei"}, RuleCase{{"Bov"}, "oon", "von"},
        RuleCase{{"Bov"}, "Ooen", "Oven"}, RuleCase{{"Bov"}, "oiel", "viel"},
        RuleCase{{"BBV"}, "Borrede", "Vorrede"}, RuleCase{{"BVB"}, "Borrede", "Vorrede"},
        RuleCase{{}, "Borrede", "Borrede"}, RuleCase{{"BBV"}, "ABorrede", "ABorrede"}));

TEST(SubstitutionRuleTable, HasItsRowsAndKeepsLengths) {
  const SubstitutionRuleGroups groups = substitutionRules();
  EXPECT_EQ(groups.always.size(), 20u);
  EXPECT_EQ(groups.bnu.size(), 6u);
  EXPECT_EQ(groups.bov.size(), 8u);
  EXPECT_EQ(groups.bbv.size(), 1u);
  for (auto group : {groups.always, groups.bnu, groups.bov, groups.bbv})
    for (const RewriteRule& rule : group) {
      EXPECT_EQ(rule.pattern.size(), rule.replacement.size()) << rule.pattern;
      EXPECT_NE(rule.pattern, rule.replacement);
    }
}

TEST(SubstitutionRuleTable, PaddingOnceGivesWhatEachRowThroughReplaceAllGives) {
  const SubstitutionRuleGroups groups = substitutionRules();
  const OptionSet all = optionsFrom({"Bnu", "Bov", "BBV"});
  for (const std::string word :
       {"Pern", "Erkenntui\xDF", "fpfpft", "oerooroon", "Bor", "eu", "Qnqnfchuuguug", "muffen"}) {
    std::string rowByRow = word;
    for (auto group : {groups.always, groups.bnu, groups.bov, groups.bbv})
      for (const RewriteRule& rule : group) replaceAll(rowByRow, rule.pattern, rule.replacement);
    EXPECT_EQ(applySubstitutionRules(word, all), rowByRow) << word;
  }
}

}  // namespace
}  // namespace scanmend
