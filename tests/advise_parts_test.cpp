// The advisor's parts: the weighing of argument sets over distinct words,
// and the likely readings of unknown words.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>

#include "advise/candidates.h"
#include "advise/likely_readings.h"
#include "advise/weighing.h"
#include "dictionary/sorted_words.h"
#include "profile/evidence.h"
#include "profile/profile.h"
#include "test_support.h"

namespace scanmend::advise {
namespace {

Dictionary walkedDictionary(const std::vector<std::string>& words) {
  Dictionary dictionary;
  dictionary.assign(testing::wordLines(words), identityFold(), ReadingSearch::PrefixWalk);
  return dictionary;
}

// Deciding again only the words that a change of arguments can touch
// gives what deciding every word gives, over random argument changes.
TEST(Weighing, DecidingAgainOnlyTheTouchedWordsEqualsDecidingAll) {
  std::mt19937 random(5);
  const std::string letters = "nufsovIJBVab";
  const auto randomWord = [&] {
    std::string word(2 + random() % 5, ' ');
    for (char& c : word) c = letters[random() % letters.size()];
    return word;
  };
  std::vector<std::string> dictionaryWords;
  for (int i = 0; i < 400; ++i) dictionaryWords.push_back(randomWord());
  const Dictionary dictionary = walkedDictionary(dictionaryWords);
  std::vector<std::string> texts;
  for (int i = 0; i < 300; ++i) texts.push_back(randomWord() + (i % 7 == 0 ? "fch" : ""));
  const Book book = bookOfPages({[&] {
    std::string page;
    for (const std::string& text : texts) page += text + " ";
    return page;
  }()});
  const LetterIndex index = indexLetters(book.words);
  const std::vector<std::string> words{"Bnu",    "Ufs", "Bov", "BBV", "I",  "german",
                                       "finals", "Uab", "Bba", "Usf", "Bun"};
  std::vector<std::string> before;
  Outcomes outcomes = decideWords(book.words, parseArguments(before), dictionary);
  for (int step = 0; step < 60; ++step) {
    std::vector<std::string> after = before;
    const std::string& word = words[random() % words.size()];
    const auto at = std::find(after.begin(), after.end(), word);
    if (at == after.end())
      after.push_back(word);
    else
      after.erase(at);
    const RunTables tablesAfter = parseArguments(after);
    const Outcomes again =
        redecideWords(book.words, index, parseArguments(before), outcomes, tablesAfter, dictionary);
    const Outcomes all = decideWords(book.words, tablesAfter, dictionary);
    for (std::size_t i = 0; i < all.size(); ++i) {
      ASSERT_EQ(again[i].kind, all[i].kind) << book.words[i].text;
      ASSERT_EQ(again[i].result, all[i].result) << book.words[i].text;
    }
    ASSERT_EQ(predictStatistics(book.words, again), predictStatistics(book.words, all));
    before = after;
    outcomes = again;
  }
}

}  // namespace
}  // namespace scanmend::advise

namespace scanmend::advise {
namespace {

// Exchanges as strong as the long s read as "f" that are no misreading:
// a letter's other case, and the spelling of the period.
TEST(Candidates, NoneThatOnlyChangesCaseOrMakesThePeriodsSpelling) {
  Evidence evidence;
  for (const auto& [scanned, meant] : std::vector<std::pair<char, char>>{
           {'f', 's'}, {'w', 'W'}, {'c', 'k'}, {'y', 'i'}, {'k', 'c'}}) {
    PairEvidence pair;
    pair.scanned = static_cast<unsigned char>(scanned);
    pair.meant = static_cast<unsigned char>(meant);
    pair.words = 40;
    pair.expected = 2;
    pair.ratio = 20;
    pair.confidence = 0.95;
    evidence.pairs.push_back(pair);
  }
  evidence.unknownWords = 1000;
  const std::vector<std::string> words = candidateWords(evidence, 2, Spelling::shipped());
  EXPECT_EQ(words, (std::vector<std::string>{"Ufs", "Ukc"}));
  const std::vector<LeftOut> left = unsureExchanges(evidence, 2, Spelling::shipped());
  ASSERT_EQ(left.size(), 3u);
  EXPECT_EQ(left[0].word, "UwW");
  EXPECT_NE(left[0].reason.find("only changes a letter's case"), std::string::npos);
  EXPECT_EQ(left[1].word, "Uck");
  EXPECT_NE(left[1].reason.find("the spelling of the period"), std::string::npos);
  EXPECT_EQ(left[2].word, "Uyi");
}

// What one misreading of the book explains, and what it does not.
TEST(LikelyReadings, OneMisreadingAwayFromADictionaryOrBookWord) {
  const Dictionary dictionary = walkedDictionary(
      {"Zeit", "da\xDF", "Freiheit", "sondern", "ist", "Verstand", "die", "Haus", "Sie", "Frau"});
  const std::vector<BookWord> words{
      {"Haus", 9},      {"Sie", 20},   {"Zeit", 12},    {"die", 30}, {"sondern", 5},
      {"Jeit", 4},      {"dafs", 3},   {"freiheit", 2}, {"if", 6},   {"Sigismund", 3},
      {"Sigifmund", 9}, {"ondern", 2}, {"Reinhold", 4}, {"Die", 5},  {"Frau", 3}};
  const ClassifiedWords classified = classifyWords(words, dictionary);
  const Evidence evidence = gatherEvidence(classified, dictionary);
  const RunTables tables = parseArguments({"Ufs"});
  SortedWords lexicon;
  lexicon.assign(testing::wordLines({"Zeit", "da\xDF", "Freiheit", "sondern", "ist", "Verstand",
                                     "die", "Haus", "Sie", "Frau"}));
  const Profile noMisreadings;
  const LikelyReadings likely(classified, dictionary, evidence, tables, noMisreadings, lexicon);
  const std::vector<std::pair<std::string, std::string>> cases{
      {"Jeit", "Zeit"},            // beside a more frequent word of the book
      {"dafs", "da\xDF"},          // a letter group: fs for sharp s
      {"freiheit", "Freiheit"},    // a small letter read for a capital
      {"if", "ist"},               // f read for st
      {"Derftand", ""},            // D for V is no misreading this book shows
      {"Sigifmund", "Sigismund"},  // beside a word of the book the dictionary lacks too
      {"ondern", "sondern"},       // a letter dropped, beside a word of the book
      {"Reinhold", ""},            // a name: nothing explains it
      {"Die", ""},                 // a capitalised form is no misreading
  };
  for (const auto& [word, reading] : cases) {
    const auto count =
        std::find_if(words.begin(), words.end(), [&](const BookWord& w) { return w.text == word; });
    const std::optional<std::string> found =
        likely.of(word, count == words.end() ? 1 : count->count);
    EXPECT_EQ(found.value_or(""), reading) << word;
  }
}

}  // namespace
}  // namespace scanmend::advise
