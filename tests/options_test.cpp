#include "correction/options.h"

#include <gtest/gtest.h>

#include <map>

namespace scanmend {
namespace {

struct Parsed {
  ConfusionTable table;
  OptionSet options;
};

Parsed parse(const std::vector<std::string>& arguments) {
  Parsed parsed;
  parseConfusionArguments(arguments, parsed.table);
  parseOptionWords(arguments, parsed.options, parsed.table);
  return parsed;
}

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
  const Parsed parsed = parse(GetParam().arguments);
  EXPECT_EQ(classes(parsed.table), GetParam().classes);
  EXPECT_EQ(words(parsed.options), GetParam().words);
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

}  // namespace
}  // namespace scanmend
