#include "dictionary/dictionary.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "test_support.h"

namespace scanmend {
namespace {

using testing::TempDir;
using testing::writeFile;

Dictionary fromBytes(std::string bytes) {
  Dictionary dictionary;
  dictionary.assign(std::move(bytes));
  return dictionary;
}

struct LookupCase {
  std::string file;
  std::vector<std::string> known;
  std::vector<std::string> unknown;
};

class DictionaryLines : public ::testing::TestWithParam<LookupCase> {};

TEST_P(DictionaryLines, KnowsExactlyTheTakenLines) {
  const Dictionary dictionary = fromBytes(GetParam().file);
  for (const std::string& word : GetParam().known)
    EXPECT_TRUE(containsWord(dictionary, word)) << word;
  for (const std::string& word : GetParam().unknown)
    EXPECT_FALSE(containsWord(dictionary, word)) << word;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DictionaryLines,
    ::testing::Values(
        LookupCase{"Haus\nBaum\n", {"Haus", "Baum"}, {"haus", "HAUS", "Hau", "Hausx", ""}},
        LookupCase{"Haus\r\nBaum\r\n", {"Haus", "Baum"}, {"Haus\r"}},
        // A last line without a line feed is never taken.
        LookupCase{"Haus\nBaum", {"Haus"}, {"Baum"}},
        // Only one CR right before the LF goes; other CRs are word bytes.
        LookupCase{"a\r\r\nb\rc\n", {"a\r", "b\rc"}, {"a", "b", "c"}},
        // Blanks and tabs are kept.
        LookupCase{"Haus \n\tBaum\n", {"Haus ", "\tBaum"}, {"Haus", "Baum"}},
        // Empty lines add the empty word and do not stop the reading.
        LookupCase{"\n\nHaus\n", {"", "Haus"}, {}},
        // A NUL byte is an ordinary byte of a word.
        LookupCase{std::string("a\0b\n", 4), {std::string("a\0b", 3)}, {"a", "ab"}},
        // Ctrl-Z ends the file; its line counts as a last line without LF.
        LookupCase{"Haus\nBa\x1Aum\nZug\n", {"Haus"}, {"Ba", "Baum", "Zug"}},
        LookupCase{"\xFC"
                   "ber\n\xDF\n",
                   {"\xFC"
                    "ber",
                    "\xDF"},
                   {"uber"}}));

TEST(Dictionary, HoldsADuplicateOnce) {
  const Dictionary dictionary = fromBytes("Haus\nHaus\r\nHaus\n");
  EXPECT_EQ(dictionary.size(), 1u);
  EXPECT_EQ(dictionary.countOfLength(4), 1u);
}

TEST(Dictionary, TakesTheFirst255BytesOfALongLineAndGoesOn) {
  const std::string exact(255, 'x');
  const std::string longer(300, 'y');
  const Dictionary dictionary = fromBytes(exact + "\n" + longer + "\r\nZug\n");
  EXPECT_TRUE(containsWord(dictionary, exact));
  EXPECT_TRUE(containsWord(dictionary, std::string(255, 'y')));
  EXPECT_FALSE(containsWord(dictionary, longer));
  EXPECT_TRUE(containsWord(dictionary, "Zug"));
  EXPECT_EQ(dictionary.size(), 3u);
}

TEST(Dictionary, ALongFirstLineIsCutWithoutCorruptingItsNeighbours) {
  // A 255-byte cut followed by its CR: the CR is not part of the word.
  const std::string word(255, 'a');
  const Dictionary dictionary = fromBytes(word + "bc\r\n" + word + "\r\nb\n");
  EXPECT_TRUE(containsWord(dictionary, word));
  EXPECT_TRUE(containsWord(dictionary, "b"));
  EXPECT_EQ(dictionary.size(), 2u);
}

TEST(Dictionary, ManyWordsAllFound) {
  std::vector<std::string> words;
  for (int i = 0; i < 20000; ++i) words.push_back("w" + std::to_string(i * 7919));
  const Dictionary dictionary = fromBytes(testing::wordLines(words));
  EXPECT_EQ(dictionary.size(), words.size());
  for (const std::string& word : words) ASSERT_TRUE(containsWord(dictionary, word)) << word;
  EXPECT_FALSE(containsWord(dictionary, "w1"));
}

TEST(Dictionary, VisitsTheWordsThatFoldAlike) {
  LetterFold fold = identityFold();
  fold['u'] = 'n';
  fold['s'] = 'f';
  Dictionary dictionary;
  dictionary.assign("Haus\nHans\nHanf\nHaut\nhaus\nHau\nHausx\n", fold);
  std::vector<std::string_view> visited;
  dictionary.forEachWordFoldingLike("Hauf", [&](std::string_view w) { visited.push_back(w); });
  std::sort(visited.begin(), visited.end());
  const std::vector<std::string_view> expected{"Hanf", "Hans", "Haus"};
  EXPECT_EQ(visited, expected);
  EXPECT_TRUE(containsWord(dictionary, "Haus"));
  EXPECT_FALSE(containsWord(dictionary, "Hauf"));
}

TEST(Dictionary, WalksPrefixesOnlyWhenTheFoldGroupsMoreThanPairs) {
  LetterFold pairs = identityFold();
  pairs['u'] = 'n';
  LetterFold chain = pairs;
  chain['m'] = 'n';
  Dictionary dictionary;
  dictionary.assign("Haus\n", pairs);
  EXPECT_FALSE(dictionary.walksPrefixes());
  dictionary.assign("Haus\n", chain);
  EXPECT_TRUE(dictionary.walksPrefixes());
  EXPECT_TRUE(containsWord(dictionary, "Haus"));
  EXPECT_FALSE(containsWord(dictionary, "Hans"));
}

TEST(Dictionary, PrefixWalkFindsTheWordsWithAllowedLetters) {
  // Words past the eight bytes held in the index's keys, bytes above 0x7F,
  // neighbours that differ only in their last byte.
  const std::string file =
      "Verbindungen\nVerbindungen\r\nVerbinduugen\nVerbindungeu\nVerbindnngen\n"
      "\xFC"
      "ber\nuber\naber\nHaus\nHans\nHaut\n";
  Dictionary dictionary;
  dictionary.assign(file, identityFold(), ReadingSearch::PrefixWalk);
  EXPECT_EQ(dictionary.size(), 10u);
  const auto find = [&](std::vector<std::string_view> letters) {
    std::vector<std::string> found;
    dictionary.forEachWordWithLetters(letters, [&](std::string_view w) { found.emplace_back(w); });
    std::sort(found.begin(), found.end());
    return found;
  };
  using Found = std::vector<std::string>;
  EXPECT_EQ(find({"V", "e", "r", "b", "i", "n", "d", "un", "nu", "g", "e", "nu"}),
            (Found{"Verbindnngen", "Verbindungen", "Verbindungeu", "Verbinduugen"}));
  EXPECT_EQ(find({"V", "e", "r", "b", "i", "n", "d", "u", "n", "g", "e", "x"}), Found{});
  EXPECT_EQ(find({"u\xFC", "b", "e", "r"}), (Found{"uber",
                                                   "\xFC"
                                                   "ber"}));
  EXPECT_EQ(find({"H", "a", "uun", "st"}), (Found{"Hans", "Haus", "Haut"}));
  EXPECT_EQ(find({"x"}), Found{});
}

}  // namespace
}  // namespace scanmend
