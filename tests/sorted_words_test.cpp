// The sorted view of the dictionary against a plain set of words: every
// prefix narrows to the words that hold it, on lists large enough that
// their ranges are searched and indexed rather than scanned.
#include "dictionary/sorted_words.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace scanmend {
namespace {

// Few letters, so that words share long prefixes; a capital, a byte above
// 0x7F and a CR to test the order and the line ends.
const std::string kLetters =
    "abcn\xFC"
    "A";

std::string randomWord(std::mt19937& random, std::size_t most) {
  std::string word(std::uniform_int_distribution<std::size_t>(0, most)(random), ' ');
  for (char& c : word)
    c = kLetters[std::uniform_int_distribution<std::size_t>(0, kLetters.size() - 1)(random)];
  return word;
}

struct Words {
  std::string fileBytes;
  std::set<std::string> set;
};

Words randomWords(std::mt19937& random, std::size_t count) {
  Words words;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string word = randomWord(random, 7);
    words.fileBytes += word + (i % 3 == 0 ? "\r\n" : "\n");
    words.set.insert(word);
  }
  return words;
}

TEST(SortedWords, FollowsTheDictionaryFileRules) {
  SortedWords lexicon;
  lexicon.assign("zu\r\n" + std::string(300, 'x') +
                 "\nvor\x1A"
                 "dahinter\nletzte");
  EXPECT_EQ(lexicon.size(), 2u) << "a Ctrl-Z ends the list";
  EXPECT_TRUE(lexicon.contains("zu")) << "a CR before the LF is not part of the word";
  EXPECT_TRUE(lexicon.contains(std::string(255, 'x'))) << "a word keeps 255 bytes";
  EXPECT_FALSE(lexicon.contains("vor"));
  lexicon.assign("eins\nzwei");
  EXPECT_TRUE(lexicon.contains("eins"));
  EXPECT_FALSE(lexicon.contains("zwei")) << "a last line without a line end is not a word";
}

TEST(SortedWords, NarrowsAsThePlainSetOfWordsDoes) {
  std::mt19937 random(7);
  for (const std::size_t count : {0u, 5u, 60u, 4000u}) {
    const Words words = randomWords(random, count);
    SortedWords lexicon;
    lexicon.assign(words.fileBytes);
    ASSERT_EQ(lexicon.size(), words.set.size());
    for (int query = 0; query < 400; ++query) {
      const std::string prefix = randomWord(random, 5);
      const SortedWords::Range range = lexicon.narrow(lexicon.all(), prefix);
      std::size_t holding = 0;
      std::string next;
      for (const std::string& word : words.set) {
        if (!word.starts_with(prefix)) continue;
        ++holding;
        if (word.size() > prefix.size() && next.find(word[prefix.size()]) == std::string::npos)
          next += word[prefix.size()];
      }
      SCOPED_TRACE(prefix);
      EXPECT_EQ(range.end - range.begin, holding);
      EXPECT_EQ(lexicon.holdsWord(range), words.set.count(prefix) == 1);
      const std::string word = randomWord(random, 8);
      EXPECT_EQ(lexicon.contains(prefix), words.set.count(prefix) == 1);
      EXPECT_EQ(lexicon.contains(word), words.set.count(word) == 1) << word;
      std::string visited;
      if (!range.empty())
        lexicon.forEachNext(range, [&](unsigned char byte, SortedWords::Range narrowed) {
          visited += static_cast<char>(byte);
          EXPECT_EQ(narrowed.end - narrowed.begin,
                    lexicon.narrow(range, static_cast<unsigned char>(byte)).end -
                        lexicon.narrow(range, static_cast<unsigned char>(byte)).begin);
        });
      std::sort(next.begin(), next.end(), [](char a, char b) {
        return static_cast<unsigned char>(a) < static_cast<unsigned char>(b);
      });
      EXPECT_EQ(visited, next) << "the next bytes, in byte order";
    }
  }
}

TEST(SortedWords, NarrowsByPrefixesInByteOrder) {
  SortedWords lexicon;
  lexicon.assign(
      "\xFC"
      "ber\naus\nauf\nau\naus\nHaus\n");
  EXPECT_EQ(lexicon.size(), 5u) << "a word listed twice is kept once";
  EXPECT_TRUE(lexicon.contains("au"));
  EXPECT_TRUE(
      lexicon.contains("\xFC"
                       "ber"));
  EXPECT_FALSE(lexicon.contains("a"));
  EXPECT_FALSE(lexicon.contains("ausser"));
  std::string next;
  lexicon.forEachNext(
      lexicon.narrow(lexicon.all(), "au"),
      [&](unsigned char byte, SortedWords::Range) { next += static_cast<char>(byte); });
  EXPECT_EQ(next, "fs");
}

}  // namespace
}  // namespace scanmend
