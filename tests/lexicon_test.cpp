// The learner's dictionary against a plain set of words: every prefix
// narrows to the words that hold it, on lists large enough that their
// ranges are searched and indexed rather than scanned, and every exchange
// that the search reports is one that the direct test confirms.
#include "learn/lexicon.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "learn/readings.h"

namespace scanmend::learn {
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

TEST(Lexicon, FollowsTheDictionaryFileRules) {
  Lexicon lexicon;
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

TEST(Lexicon, NarrowsAsThePlainSetOfWordsDoes) {
  std::mt19937 random(7);
  for (const std::size_t count : {0u, 5u, 60u, 4000u}) {
    const Words words = randomWords(random, count);
    Lexicon lexicon;
    lexicon.assign(words.fileBytes);
    ASSERT_EQ(lexicon.size(), words.set.size());
    for (int query = 0; query < 400; ++query) {
      const std::string prefix = randomWord(random, 5);
      const Lexicon::Range range = lexicon.narrow(lexicon.all(), prefix);
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
        lexicon.forEachNext(range, [&](unsigned char byte, Lexicon::Range narrowed) {
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

TEST(Exchanges, TheDirectTestConfirmsWhatTheSearchReports) {
  std::mt19937 random(11);
  const Words words = randomWords(random, 3000);
  Lexicon lexicon;
  lexicon.assign(words.fileBytes);
  std::vector<std::string> units;
  for (const char a : kLetters) {
    units.emplace_back(1, a);
    for (const char b : kLetters) units.push_back(std::string{a, b});
  }
  for (int trial = 0; trial < 150; ++trial) {
    const std::string word = randomWord(random, 6);
    if (word.empty()) continue;
    std::set<std::tuple<std::string, bool, std::string>> reported;
    forEachOneExchange(
        word, lexicon,
        [&](std::string_view scanned, bool atEnd, std::string_view reading, std::string_view) {
          EXPECT_TRUE(reported.emplace(std::string(scanned), atEnd, std::string(reading)).second)
              << "reported once";
        });
    for (const std::string& scanned : units)
      for (const bool atEnd : {false, true})
        for (const std::string& reading : units) {
          if (scanned.size() == 2 && reading.size() == 2) continue;
          EXPECT_EQ(exchangeMakesWord(word, scanned, atEnd, reading, lexicon),
                    reported.count({scanned, atEnd, reading}) == 1)
              << word << ": " << scanned << (atEnd ? " at the end" : "") << " as " << reading;
        }
  }
}

}  // namespace
}  // namespace scanmend::learn
