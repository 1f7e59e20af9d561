#include "correction/unknown_words.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(formatUnknownWordReport({}), "word frequency of unknown words:\n");
}

TEST(UnknownWordReport, CountsBeyond32BitsPrintInFull) {
  UnknownWordCounts counts{{"x", 2147483648LL}};
  EXPECT_EQ(formatUnknownWordReport(counts), "word frequency of unknown words:\nx\t2147483648\n");
}

}  // namespace
}  // namespace scanmend
