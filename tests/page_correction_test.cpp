#include "correction/page_correction.h"

#include <gtest/gtest.h>

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
