#include "correction/word_correction.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "test_support.h"

namespace scanmend {
namespace {

using testing::CorrectionFixture;

struct Outcome {
  std::string result;
  std::int64_t correctUnchanged = 0;
  std::int64_t changedIncorrect = 0;
  std::int64_t ambiguousWords = 0;
  std::int64_t unknownWords = 0;

  bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
  return out << '"' << o.result << "\" correct " << o.correctUnchanged << " changed "
             << o.changedIncorrect << " ambiguous " << o.ambiguousWords << " unknown "
             << o.unknownWords;
}

struct WordCase {
  std::vector<std::string> arguments;
  std::vector<std::string> dictionary;
  std::string word;
  Outcome expected;
};

class CorrectWord : public ::testing::TestWithParam<WordCase> {};

TEST_P(CorrectWord, DecidesAndCounts) {
  CorrectionFixture fixture(GetParam().arguments, GetParam().dictionary);
  const std::string result = correctWord(GetParam().word, fixture.context);
  const RunStats& stats = fixture.runStats;
  EXPECT_EQ((Outcome{result, stats.correctUnchanged, stats.changedIncorrect, stats.ambiguousWords,
                     stats.unknownWords}),
            GetParam().expected);
  EXPECT_EQ(stats.totalWords, 1);
  const bool counted = fixture.unknownWordCounts.count(GetParam().word) == 1;
  EXPECT_EQ(counted, GetParam().expected.unknownWords == 1);
}

INSTANTIATE_TEST_SUITE_P(
    OutcomeTable, CorrectWord,
    ::testing::Values(
        WordCase{{"Bnu"}, {"Haus"}, "Hans", {"Haus", 0, 1, 0, 0}},
        WordCase{{"Bnu"}, {"Hans"}, "Hans", {"Hans", 1, 0, 0, 0}},
        WordCase{{"Bnu"}, {"Hans", "Haus"}, "Hans", {"Ha*s", 0, 0, 1, 0}},
        WordCase{{"Bnu"}, {}, "Hans", {"Hans", 0, 0, 0, 1}},
        WordCase{{}, {"Haus"}, "Haus", {"Haus", 1, 0, 0, 0}},
        WordCase{{}, {"Haus"}, "haus", {"haus", 0, 0, 0, 1}},
        // Agreeing positions keep the shared letter even where the word differs.
        WordCase{{"Bnu", "Bfs"}, {"sein", "seu*"}, "fein", {"sein", 0, 1, 0, 0}},
        WordCase{{"Bnu", "Bfs"}, {"sein", "seiu"}, "fein", {"sei*", 0, 0, 1, 0}},
        WordCase{{"Bnu", "Bfs"}, {"sinn", "fiun", "siuu", "fuun"}, "finn", {"*i**", 0, 0, 1, 0}},
        // "*" in a page word is an ordinary byte.
        WordCase{{}, {"a*s"}, "a*s", {"a*s", 1, 0, 0, 0}},
        WordCase{{"Bnu"}, {"aus", "ans"}, "a*s", {"a*s", 0, 0, 0, 1}},
        // Longer than any dictionary line can be.
        WordCase{{},
                 {std::string(255, 'a')},
                 std::string(300, 'a'),
                 {std::string(300, 'a'), 0, 0, 0, 1}}));

INSTANTIATE_TEST_SUITE_P(
    FinalF, CorrectWord,
    ::testing::Values(WordCase{{"Ufs", "finals"}, {"Haus", "Hauf"}, "Hauf", {"Hauf", 1, 0, 0, 0}},
                      WordCase{{"Ufs"}, {"Haus", "Hauf"}, "Hauf", {"Hau*", 0, 0, 1, 0}},
                      WordCase{{"Bsf", "finals"}, {"Haus"}, "Hauf", {"Hauf", 0, 0, 0, 1}},
                      // Inside the word the f still takes both letters.
                      WordCase{{"Ufs", "finals"}, {"Hausf"}, "Hauff", {"Hausf", 0, 1, 0, 0}},
                      // Another class for f is not touched by "finals".
                      WordCase{{"Uft", "finals"}, {"Haut"}, "Hauf", {"Haut", 0, 1, 0, 0}}));

INSTANTIATE_TEST_SUITE_P(
    Rules, CorrectWord,
    ::testing::Values(WordCase{{"I"}, {}, "Iahr", {"Jahr", 0, 1, 0, 0}},
                      WordCase{{"I"}, {}, "Jhr", {"Ihr", 0, 1, 0, 0}},
                      WordCase{{"I"}, {}, "JAhr", {"IAhr", 0, 1, 0, 0}},
                      WordCase{{"I"}, {}, "J", {"J", 0, 0, 0, 1}},
                      WordCase{{"I"}, {}, "Ihr", {"Ihr", 0, 0, 0, 1}},
                      WordCase{{"I"}, {"Jahr"}, "Iahr", {"Jahr", 0, 1, 0, 0}},
                      WordCase{{"I"},
                               {},
                               "J\xFC"
                               "dinn",
                               {"J\xFC"
                                "dinn",
                                0, 0, 0, 1}},
                      WordCase{{"I"},
                               {},
                               "I\xF6"
                               "x",
                               {"J\xF6"
                                "x",
                                0, 1, 0, 0}},
                      WordCase{{"german"}, {}, "Qnelle", {"Quelle", 0, 1, 0, 0}},
                      WordCase{{"german"}, {"Qnelle"}, "Qnelle", {"Qnelle", 1, 0, 0, 0}},
                      WordCase{{}, {}, "Qnelle", {"Qnelle", 0, 0, 0, 1}},
                      WordCase{
                          {"german", "Bnu"}, {}, "Erkenntui\xDF", {"Erkenntui\xDF", 0, 0, 0, 1}},
                      WordCase{{"german", "I"}, {}, "Iedoch", {"Jedoch", 0, 1, 0, 0}},
                      WordCase{{"german", "I"}, {}, "Ifch", {"Isch", 0, 1, 0, 0}}));

TEST(CorrectWord, CountsUnknownWordsOverCallsAndKeepsTheTotals) {
  CorrectionFixture fixture({"Bnu", "german"}, {"Haus", "Hans", "dem"});
  for (const char* word : {"Zug", "Hans", "Zug", "Hanse", "dem", "Qnal", "Zug", "xyz"})
    correctWord(word, fixture.context);
  const RunStats& stats = fixture.runStats;
  EXPECT_EQ(stats.totalWords, 8);
  EXPECT_EQ(stats.totalWords, stats.correctUnchanged + stats.changedIncorrect +
                                  stats.ambiguousWords + stats.unknownWords);
  const UnknownWordCounts expected{{"Hanse", 1}, {"Zug", 3}, {"xyz", 1}};
  EXPECT_EQ(fixture.unknownWordCounts, expected);
  EXPECT_EQ(stats.unknownWords, 5);
}

TEST(CorrectWord, CountsEveryOccurrenceOfManyWords) {
  CorrectionFixture fixture({"Bnu"}, {"Haus"});
  // Many distinct words, each seen three times at different distances,
  // and one frequent word throughout.
  std::vector<std::string> words;
  for (int i = 0; i < 30000; ++i) words.push_back("w" + std::to_string(i));
  for (const std::size_t step : {7, 11, 13})  // each a permutation of the words
    for (std::size_t i = 0; i < words.size(); ++i) {
      correctWord(words[(i * step) % words.size()], fixture.context);
      correctWord("Hans", fixture.context);
    }
  EXPECT_EQ(fixture.runStats.unknownWords, 90000);
  EXPECT_EQ(fixture.runStats.changedIncorrect, 90000);
  EXPECT_EQ(fixture.unknownWordCounts.size(), words.size());
  for (const auto& [word, count] : fixture.unknownWordCounts) ASSERT_EQ(count, 3) << word;
}

TEST(ReadingFold, JoinsLettersThatReadingsMayExchange) {
  CorrectionFixture fixture({"Bnu", "Ufs", "Usz", "Bov"});
  const LetterFold fold = readingFold(fixture.confusionTable);
  EXPECT_EQ(fold['u'], fold['n']);
  EXPECT_EQ(fold['f'], fold['s']);
  EXPECT_EQ(fold['s'], fold['z']);
  EXPECT_EQ(fold['o'], fold['v']);
  EXPECT_NE(fold['n'], fold['f']);
  EXPECT_EQ(fold['a'], 'a');
}

TEST(ReadingFold, NeverChangesWhatTheDictionaryKnows) {
  std::mt19937 random(3);
  std::vector<std::string> words;
  for (int i = 0; i < 5000; ++i) {
    std::string word(1 + random() % 8, ' ');
    for (char& c : word) c = "nufsovab"[random() % 8];
    words.push_back(word);
  }
  CorrectionFixture fixture({"Bnu", "Ufs", "Bov"});
  Dictionary plain;
  Dictionary folded;
  plain.assign(testing::wordLines(words));
  folded.assign(testing::wordLines(words), readingFold(fixture.confusionTable));
  EXPECT_EQ(plain.size(), folded.size());
  for (int i = 0; i < 20000; ++i) {
    std::string probe(1 + random() % 8, ' ');
    for (char& c : probe) c = "nufsovab"[random() % 8];
    ASSERT_EQ(containsWord(plain, probe), containsWord(folded, probe)) << probe;
  }
}

// All readings of `word` as the plain product of alternatives: the meaning
// of the fast search, for words small enough to enumerate.
std::set<std::string> allReadings(std::string_view word, const ConfusionTable& table,
                                  const OptionSet& options) {
  std::set<std::string> readings{""};
  for (std::size_t i = 0; i < word.size(); ++i) {
    std::string_view letters = table.classOf(static_cast<unsigned char>(word[i]));
    if (letters.empty()) letters = word.substr(i, 1);
    if (i + 1 == word.size() && word[i] == 'f' && options.contains(OptionWord::Finals) &&
        (letters == "sf" || letters == "fs"))
      letters = "f";
    std::set<std::string> next;
    for (const std::string& prefix : readings)
      for (const char letter : letters) next.insert(prefix + letter);
    readings = std::move(next);
  }
  return readings;
}

TEST(FindDictionaryReadings, AgreesWithTheFullProductOnRandomWords) {
  std::mt19937 random(42);
  const std::string letters = "nuvofsxBV";
  const auto randomWord = [&](std::size_t length) {
    std::string word(length, ' ');
    for (char& c : word) c = letters[random() % letters.size()];
    return word;
  };
  for (int round = 0; round < 300; ++round) {
    const std::size_t length = 1 + random() % 12;
    std::vector<std::string> words;
    for (int i = 0; i < 200; ++i) words.push_back(randomWord(length));
    CorrectionFixture fixture({"Bnu", "Bov", "Ufs", "Uxn", "finals"}, words);
    Dictionary unfolded;
    unfolded.assign(testing::wordLines(words));
    LetterFold half = identityFold();
    half['u'] = 'n';
    Dictionary halfFolded;
    halfFolded.assign(testing::wordLines(words), half);
    Dictionary walked;
    walked.assign(testing::wordLines(words), identityFold(), ReadingSearch::PrefixWalk);
    for (int i = 0; i < 20; ++i) {
      const std::string word = randomWord(length);
      std::size_t hits = 0;
      std::string merged;
      for (const std::string& reading :
           allReadings(word, fixture.confusionTable, fixture.optionSet)) {
        if (!containsWord(fixture.dictionary, reading)) continue;
        if (hits++ == 0) merged = reading;
        for (std::size_t k = 0; k < reading.size(); ++k)
          if (merged[k] != reading[k]) merged[k] = '*';
      }
      // The run's dictionary folds like the readings; the others make the
      // search try each folded form of the readings in turn.
      for (const Dictionary* dictionary : {&fixture.dictionary, &unfolded, &halfFolded, &walked}) {
        const DictionaryReadings found =
            findDictionaryReadings(word, fixture.confusionTable, fixture.optionSet, *dictionary);
        ASSERT_EQ(found.count, hits) << word;
        if (hits > 0) {
          ASSERT_EQ(found.merged, merged) << word;
        }
      }
    }
  }
}

// Random command lines over a small alphabet chain and cycle their letters
// into large fold groups, name a letter twice ("Uaa") and mix U and B words:
// the prefix walk and the folded runs find exactly the readings of the full
// product.
TEST(FindDictionaryReadings, AgreesWithTheFullProductUnderRandomTables) {
  std::mt19937 random(7);
  const std::string letters = "abcdefsnu";
  const auto randomWord = [&](std::size_t length) {
    std::string word(length, ' ');
    for (char& c : word) c = letters[random() % letters.size()];
    return word;
  };
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> arguments{"finals"};
    for (int k = 0, n = 1 + static_cast<int>(random() % 10); k < n; ++k)
      arguments.push_back(std::string(1, "UB"[random() % 2]) + letters[random() % letters.size()] +
                          letters[random() % letters.size()]);
    const std::size_t length = 1 + random() % 9;
    std::vector<std::string> words;
    for (int i = 0; i < 300; ++i) words.push_back(randomWord(length));
    CorrectionFixture fixture(arguments, words);
    Dictionary walked;
    Dictionary runs;
    walked.assign(testing::wordLines(words), identityFold(), ReadingSearch::PrefixWalk);
    runs.assign(testing::wordLines(words), readingFold(fixture.confusionTable),
                ReadingSearch::FoldedRuns);
    for (int i = 0; i < 30; ++i) {
      const std::string word = i % 3 == 0 ? words[random() % words.size()] : randomWord(length);
      std::set<std::string> hits;
      for (const std::string& reading :
           allReadings(word, fixture.confusionTable, fixture.optionSet))
        if (containsWord(runs, reading)) hits.insert(reading);
      std::string merged = hits.empty() ? "" : *hits.begin();
      for (const std::string& hit : hits)
        for (std::size_t k = 0; k < hit.size(); ++k)
          if (merged[k] != hit[k]) merged[k] = '*';
      for (const Dictionary* dictionary : {&walked, &runs, &fixture.dictionary}) {
        const DictionaryReadings readings =
            findDictionaryReadings(word, fixture.confusionTable, fixture.optionSet, *dictionary);
        ASSERT_EQ(readings.count, hits.size()) << word;
        if (!hits.empty()) {
          ASSERT_EQ(readings.merged, merged) << word;
        }
      }
    }
  }
}

// Words of confusable letters only: 2^60 or 2^200 readings, which no one
// can enumerate, against dictionaries that know none, one or two of them.
struct LongWordCase {
  std::size_t length;
  std::size_t knownReadings;
};

class LongConfusableWord : public ::testing::TestWithParam<LongWordCase> {};

TEST_P(LongConfusableWord, IsDecidedWithoutEnumeratingItsReadings) {
  const std::size_t length = GetParam().length;
  std::string word;
  for (std::size_t i = 0; i < length; ++i) word += "nnu"[i % 3];
  std::string first(length, 'u');
  std::string second(length, 'u');
  second[length / 2] = 'n';
  std::vector<std::string> dictionary{std::string(length, 'x'), std::string(length, 'n') + "x"};
  if (GetParam().knownReadings >= 1) dictionary.push_back(first);
  if (GetParam().knownReadings >= 2) dictionary.push_back(second);
  // Dictionary lines hold at most 255 bytes.
  if (length > Dictionary::kMaxWordLength) dictionary.clear();

  CorrectionFixture fixture({"Bnu"}, dictionary);
  const std::string result = correctWord(word, fixture.context);
  const RunStats& stats = fixture.runStats;
  if (length > Dictionary::kMaxWordLength || GetParam().knownReadings == 0) {
    EXPECT_EQ(result, word);
    EXPECT_EQ(stats.unknownWords, 1);
  } else if (GetParam().knownReadings == 1) {
    EXPECT_EQ(result, first);
    EXPECT_EQ(stats.changedIncorrect, 1);
  } else {
    std::string marked = first;
    marked[length / 2] = '*';
    EXPECT_EQ(result, marked);
    EXPECT_EQ(stats.ambiguousWords, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongConfusableWord,
                         ::testing::Values(LongWordCase{60, 0}, LongWordCase{60, 1},
                                           LongWordCase{60, 2}, LongWordCase{200, 0},
                                           LongWordCase{200, 1}, LongWordCase{200, 2},
                                           LongWordCase{400, 0}));

}  // namespace
}  // namespace scanmend
