// A book's words as the tools study them: cut as a run cuts them, counted
// with their pages, as the pages stand and as the line joining of "=" makes
// them.
#include "book/book.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "base/encoding_guess.h"
#include "correction/line_joining.h"
#include "correction/word_splitting.h"

namespace scanmend {
namespace {

TEST(Book, CountsWordsAsTheRunCutsThemAndTheWordsThatLineEndsBreak) {
  const Book book =
      bookOfPages({"Er kam a*s dem Ver=\nbindung der Hanse.\n", "Er ging.\nEr=\n\nkam\n"});
  EXPECT_EQ(book.pages, 2);
  EXPECT_EQ(book.lineEndMarkers, 2);
  const auto count = [](const std::vector<BookWord>& words, const std::string& text) {
    for (const BookWord& word : words)
      if (word.text == text) return word.count;
    return std::int64_t{0};
  };
  EXPECT_EQ(count(book.words, "Er"), 3);
  const auto er = std::find_if(book.words.begin(), book.words.end(),
                               [](const BookWord& word) { return word.text == "Er"; });
  EXPECT_EQ(er->pages, (std::vector<std::int64_t>{1, 2})) << "each page once";
  EXPECT_EQ(count(book.words, "a*s"), 1);
  EXPECT_EQ(count(book.words, "Ver"), 1);
  EXPECT_EQ(count(book.joinedWords, "Verbindung"), 1);
  EXPECT_EQ(count(book.joinedWords, "Ver"), 0);
  // A marker before an empty line joins nothing.
  EXPECT_EQ(count(book.joinedWords, "Er"), 3);
  ASSERT_EQ(book.brokenWords.size(), 1u);
  EXPECT_EQ(book.brokenWords[0].text, "Ver=bindung");
  EXPECT_TRUE(std::is_sorted(book.words.begin(), book.words.end(),
                             [](const BookWord& a, const BookWord& b) { return a.text < b.text; }));
}

// The joined words are those of the joined pages, on random pages full of
// markers (and some without any).
TEST(Book, JoinedWordsAreThoseOfTheJoinedPages) {
  std::mt19937 random(9);
  const std::string bytes = "ab= \n\n";
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> pages(1 + random() % 3);
    for (std::string& page : pages)
      for (int i = 0, n = static_cast<int>(random() % 60); i < n; ++i)
        page += bytes[random() % bytes.size()];
    std::map<std::string, std::int64_t> expected;
    for (const std::string& page : pages) {
      forEachWord(joinHyphenatedLines(page),
                  [&expected](std::string_view word) { ++expected[std::string(word)]; });
    }
    std::map<std::string, std::int64_t> counted;
    const Book book = bookOfPages(pages);
    for (const BookWord& word : book.wordsAsJoined()) counted[word.text] = word.count;
    ASSERT_EQ(counted, expected) << pages[0];
  }
}

TEST(EncodingGuess, TellsUtf8FromWindows1252) {
  EXPECT_TRUE(
      looksLikeUtf8("H\xC3\xA4user, T\xC3\xBCr, Gr\xC3\xB6\xC3\x9F"
                    "e"));
  EXPECT_FALSE(
      looksLikeUtf8("H\xE4user, T\xFCr, Gr\xF6\xDF"
                    "e"));
  EXPECT_FALSE(looksLikeUtf8("plain ASCII text"));
  EXPECT_FALSE(looksLikeUtf8("one \xC3\xA4 only"));  // too little to tell
  // Mostly Windows-1252 with a few byte pairs that happen to be valid UTF-8.
  EXPECT_FALSE(
      looksLikeUtf8("\xC3\xA4\xC3\xA4\xC3\xA4 \xE4\xF6\xFC\xE4\xF6\xFC\xE4\xF6\xFC\xE4\xF6\xFC"));
}

}  // namespace
}  // namespace scanmend
