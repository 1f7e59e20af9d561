#include "correction/page_correction.h"

#include <gtest/gtest.h>

#include <random>

#include "correction/word_splitting.h"
#include "test_support.h"

namespace scanmend {
namespace {

using testing::CorrectionFixture;

TEST(WordSeparators, AreExactlyTheTwentyEightBytes) {
  const std::string expected = " ,.-;:!?'+&%$\xA7^\xB0()=/[]\"\n\r\t\xAB\xBB";
  for (int byte = 0; byte < 256; ++byte) {
    const bool listed = expected.find(static_cast<char>(byte)) != std::string::npos;
    EXPECT_EQ(isWordSeparator(static_cast<unsigned char>(byte)), listed) << byte;
  }
}

TEST(SplitWords, CutsAtEverySeparatorAndKeepsViewsIntoTheText) {
  const std::string text = "  Er kam\n(a*s dem) Hanse.=\nzu\xBBx";
  const std::vector<std::string_view> words = splitWords(text);
  EXPECT_EQ(words, (std::vector<std::string_view>{"Er", "kam", "a*s", "dem", "Hanse", "zu", "x"}));
  EXPECT_EQ(words[2].data() - text.data(), 10);
  EXPECT_TRUE(splitWords("").empty());
  EXPECT_TRUE(splitWords(" .,\n").empty());
  EXPECT_EQ(splitWords("ein"), std::vector<std::string_view>{"ein"});
}

struct PageCase {
  std::vector<std::string> arguments;
  std::string page;
  std::string expected;
  std::int64_t words;
};

class CorrectPage : public ::testing::TestWithParam<PageCase> {};

TEST_P(CorrectPage, CorrectsEveryWordAndKeepsEverySeparator) {
  CorrectionFixture fixture(GetParam().arguments,
                            {"Er", "kam", "dem", "Hause", "Verbindung", "der", "Teile", "ab"});
  EXPECT_EQ(correctPage(GetParam().page, fixture.context), GetParam().expected);
  EXPECT_EQ(fixture.runStats.totalWords, GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CorrectPage,
    ::testing::Values(
        PageCase{{"Bnu", "german"}, "Er kam a*s dem Hanse.\n", "Er kam aus dem Hause.\n", 5},
        PageCase{{"Bnu"}, "Er kam a*s dem Hanse.\n", "Er kam a*s dem Hause.\n", 5},
        PageCase{{}, "", "", 0}, PageCase{{}, "\n\n", "\n\n", 0}, PageCase{{}, " - ", " - ", 0},
        PageCase{{"Bnu"}, "Hanse", "Hause", 1},
        PageCase{{"Bnu"}, "a*s, 3ten ab_cd #x", "a*s, 3ten ab_cd #x", 4},
        PageCase{{"Bnu"},
                 "Er\rHanse\t\xAB"
                 "kam\xBB",
                 "Er\rHause\t\xAB"
                 "kam\xBB",
                 3},
        PageCase{{}, "Ver=\nbindung", "Ver=\nbindung", 2},
        PageCase{{"german"}, "Ver=\nbindung", "Ver-\nbindung", 2},
        PageCase{{"="}, "Ver=\nbindung der\nTeile", "Verbindung\nder\nTeile", 3},
        PageCase{{"Bnu"}, std::string("Er\0kam", 6), std::string("Er\0kam", 6), 1}));

TEST(CorrectPage, KeepsTheLengthWithoutLineJoining) {
  CorrectionFixture fixture({"Bnu", "Bov", "Ufs", "I", "german"}, {"Haus", "Hans", "von"});
  const std::string page = "Hans fchon vvn Iahr a*s dem\nHanfe.\n";
  EXPECT_EQ(correctPage(page, fixture.context).size(), page.size());
}

}  // namespace
}  // namespace scanmend

namespace scanmend {
namespace {

// The outcome cache only saves work: a page corrected through a cache of
// two slots (every word evicts another) or of many, with words longer than
// a cache entry, comes out as without one, with the same counts.
TEST(OutcomeCache, ChangesNothingButTheWork) {
  std::mt19937 random(11);
  const std::vector<std::string> pieces{"Hans",
                                        "Haus",
                                        "auf",
                                        "aus",
                                        "fein",
                                        "sein",
                                        "Iahr",
                                        "fchon",
                                        "a*s",
                                        "Verbindungsgeschichtenfolge",
                                        "Verbindnngsgeschichtenfolge",
                                        "xyz",
                                        "dem"};
  const std::vector<std::string> words{"Haus", "Hans", "auf", "aus",
                                       "sein", "Jahr", "dem", "Verbindungsgeschichtenfolge"};
  std::string page;
  for (int i = 0; i < 3000; ++i)
    page += pieces[random() % pieces.size()] + (i % 11 == 10 ? ".\n" : " ");
  const std::vector<std::string> arguments{"Ufs", "Bnu", "I", "german", "finals"};

  CorrectionFixture plain(arguments, words);
  const std::string expected = correctPage(page, plain.context);
  for (const std::size_t slots : {2, 64, 4096}) {
    CorrectionFixture cached(arguments, words);
    OutcomeCache cache(slots);
    cached.context.outcomeCache = &cache;
    EXPECT_EQ(correctPage(page, cached.context), expected) << slots;
    EXPECT_EQ(cached.runStats, plain.runStats);
    EXPECT_EQ(cached.unknownWordCounts, plain.unknownWordCounts);
  }
}

}  // namespace
}  // namespace scanmend
