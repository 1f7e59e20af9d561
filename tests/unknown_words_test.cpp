#include "files/unknown_words.h"

#include <gtest/gtest.h>

#include <sstream>

#include "test_support.h"

namespace scanmend {
namespace {

TEST(UnknownWordReport, ListsWordsInByteOrderWithTheirCounts) {
  UnknownWordCounts counts;
  for (const char* word : {"Zug", "alt", "Alt",
                           "\xFC"
                           "ber",
                           "Haus", "Hause", "alt", "Alt", "alt", "alt", "alt"})
    countUnknownWord(counts, word);
  EXPECT_EQ(formatUnknownWordReport(counts),
            "word frequency of unknown words:\n"
            "Alt\t2\nHaus\t1\nHause\t1\nZug\t1\nalt\t5\n\xFC"
            "ber\t1\n");
}

TEST(UnknownWordReport, IsOnlyTheHeaderWhenNothingIsUnknown) {
  testing::TempDir dir;
  std::ostringstream console;
  writeUnknownWordReport(dir.path().string(), {}, console);
  EXPECT_EQ(testing::readFile(dir / "word_fr.txt"), "word frequency of unknown words:\r\n");
  EXPECT_EQ(console.str(), "");
}

TEST(UnknownWordReport, WritesCrLfLinesAndReplacesTheOldReport) {
  testing::TempDir dir;
  testing::writeFile(dir / "word_fr.txt", "an old report that is much longer than the new one\r\n");
  UnknownWordCounts counts;
  countUnknownWord(counts, "a*s");
  std::ostringstream console;
  writeUnknownWordReport(dir.path().string(), counts, console);
  EXPECT_EQ(testing::readFile(dir / "word_fr.txt"),
            "word frequency of unknown words:\r\na*s\t1\r\n");
}

TEST(UnknownWordReport, CountsBeyond32BitsPrintInFull) {
  UnknownWordCounts counts{{"x", 2147483648LL}};
  EXPECT_EQ(formatUnknownWordReport(counts), "word frequency of unknown words:\nx\t2147483648\n");
}

}  // namespace
}  // namespace scanmend
