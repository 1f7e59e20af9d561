#include "correction/options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace scanmend {
namespace {

// Every byte's class, for comparing whole tables.
std::map<int, std::string> classes(const ConfusionTable& table) {
  std::map<int, std::string> all;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string_view letters = table.classOf(static_cast<unsigned char>(byte));
    if (!letters.empty()) all[byte] = std::string(letters);
  }
  return all;
}

std::vector<OptionWord> words(const OptionSet& options) {
  std::vector<OptionWord> present;
  for (OptionWord word : {OptionWord::I, OptionWord::Join, OptionWord::Bnu, OptionWord::Bov,
                          OptionWord::BBV, OptionWord::German, OptionWord::Finals})
    if (options.contains(word)) present.push_back(word);
  return present;
}

struct GrammarCase {
  std::vector<std::string> arguments;
  std::map<int, std::string> classes;
  std::vector<OptionWord> words;
};

class OptionGrammar : public ::testing::TestWithParam<GrammarCase> {};

TEST_P(OptionGrammar, FillsBothTables) {
  const RunTables parsed = parseArguments(GetParam().arguments);
  EXPECT_EQ(classes(parsed.confusionTable), GetParam().classes);
  EXPECT_EQ(words(parsed.optionSet), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, OptionGrammar,
    ::testing::Values(GrammarCase{{}, {}, {}}, GrammarCase{{"Uab"}, {{'a', "ab"}}, {}},
                      GrammarCase{{"Bab"}, {{'a', "ab"}, {'b', "ab"}}, {}},
                      GrammarCase{{"Bun"}, {{'u', "un"}, {'n', "un"}}, {OptionWord::Bnu}},
                      GrammarCase{{"Bnu"}, {{'n', "nu"}, {'u', "nu"}}, {OptionWord::Bnu}},
                      GrammarCase{{"Bvo"}, {{'v', "vo"}, {'o', "vo"}}, {OptionWord::Bov}},
                      GrammarCase{{"BVB"}, {{'V', "VB"}, {'B', "VB"}}, {OptionWord::BBV}},
                      GrammarCase{{"I"}, {{'I', "IJ"}, {'J', "IJ"}}, {OptionWord::I}},
                      GrammarCase{{"=", "german", "finals", "german"},
                                  {},
                                  {OptionWord::Join, OptionWord::German, OptionWord::Finals}},
                      // Later first-pass arguments win for a letter both name.
                      GrammarCase{{"Ufs", "Ufx"}, {{'f', "fx"}}, {}},
                      GrammarCase{{"Bfs", "Ufl"}, {{'f', "fl"}, {'s', "fs"}}, {}},
                      // "I" decides I and J wherever it stands.
                      GrammarCase{{"UIl", "I"}, {{'I', "IJ"}, {'J', "IJ"}}, {OptionWord::I}},
                      GrammarCase{{"I", "UIl"}, {{'I', "IJ"}, {'J', "IJ"}}, {OptionWord::I}},
                      // Any bytes may follow U or B.
                      GrammarCase{
                          {"U\xFC\xDF", "B=-"}, {{0xFC, "\xFC\xDF"}, {'=', "=-"}, {'-', "=-"}}, {}},
                      // Nothing of these means anything.
                      GrammarCase{{"u", "uab", "bun", "GERMAN", "-german", "Finals", "finalsx", "U",
                                   "Ua", "Uabc", "", "B", "i", "==", "german "},
                                  {},
                                  {}}));

// The vocabulary is the one list of words: each spelling parses to its
// entry, and what the entry says it declares is what parsing it does.
TEST(Vocabulary, EverySpellingParsesToTheWordItsEntryNames) {
  for (const OptionWordEntry& entry : optionWords()) {
    EXPECT_EQ(&entryOf(entry.word), &entry);
    for (const std::string_view spelling : {entry.spelling, entry.alias}) {
      if (spelling.empty()) continue;
      EXPECT_EQ(findOptionWord(spelling), &entry) << spelling;
      const RunTables parsed = parseArguments({std::string(spelling)});
      EXPECT_EQ(words(parsed.optionSet), std::vector<OptionWord>{entry.word}) << spelling;
      // The letters it declares are exactly those that got a class.
      std::string classed;
      for (const auto& [byte, letters] : classes(parsed.confusionTable))
        classed += static_cast<char>(byte);
      std::string declared = declaredLetters(spelling);
      std::sort(declared.begin(), declared.end());
      EXPECT_EQ(classed, declared) << spelling;
      EXPECT_EQ(describeArgument(spelling), entry.description);
    }
  }
  EXPECT_EQ(findOptionWord("Ufs"), nullptr);
  EXPECT_EQ(findOptionWord("bnu"), nullptr);
}

TEST(Vocabulary, ConfusionWordsDeclareAndDescribeTheirLetters) {
  EXPECT_EQ(declaredLetters("Ufs"), "f");
  EXPECT_EQ(declaredLetters("BEC"), "EC");
  EXPECT_EQ(declaredLetters("german"), "");
  EXPECT_EQ(declaredLetters("Ufsx"), "");
  EXPECT_EQ(describeArgument("Ufs"), "the scanner's f may be s");
  EXPECT_EQ(describeArgument("BEC"), "E and C are confused both ways");
  EXPECT_TRUE(isLongSClass("fs"));
  EXPECT_TRUE(isLongSClass("sf"));
  EXPECT_FALSE(isLongSClass("fl"));
  EXPECT_FALSE(isLongSClass("fsl"));
}

}  // namespace
}  // namespace scanmend
