// The advisor's parts: the words of a book, the evidence for letter
// exchanges, and the weighing of argument sets over distinct words.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>

#include "advise/book.h"
#include "advise/directory_checks.h"
#include "advise/evidence.h"
#include "advise/likely_readings.h"
#include "advise/weighing.h"
#include "correction/line_joining.h"
#include "correction/word_splitting.h"
#include "test_support.h"

namespace scanmend::advise {
namespace {

Dictionary walkedDictionary(const std::vector<std::string>& words) {
  Dictionary dictionary;
  dictionary.assign(testing::wordLines(words), identityFold(), ReadingSearch::PrefixWalk);
  return dictionary;
}

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

// The joined words are counted from what joining changes; they are those
// of the joined pages, on random pages full of markers.
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
    for (const BookWord& word : bookOfPages(pages).joinedWords) counted[word.text] = word.count;
    ASSERT_EQ(counted, expected) << pages[0];
  }
}

TEST(Evidence, TellsAMisreadingFromWordForms) {
  // The dictionary holds words and their inflected neighbours; the page
  // holds long-s misreadings (f for s) and unlisted forms ("dunklen") whose
  // n -> r neighbour is listed, no more often than the listed forms have one.
  const Dictionary dictionary = walkedDictionary(
      {"sein",       "sehen",      "lesen",   "Hause",   "Wiese", "Rose",  "meisten", "lassen",
       "sch\xF6nen", "sch\xF6ner", "guten",   "guter",   "alten", "alter", "neuen",   "neuer",
       "die",        "kleinen",    "kleiner", "fand",    "fort",  "Feld",  "Hof",     "auf",
       "frei",       "Kraft",      "Luft",    "dunkler", "heller"});
  std::vector<BookWord> words{
      {"fein", 3},    {"fehen", 2},  {"lefen", 1},      {"Haufe", 4},   {"Wiefe", 1}, {"Rofe", 2},
      {"meiften", 1}, {"laffen", 1}, {"sch\xF6nen", 2}, {"guten", 5},   {"alten", 1}, {"neuen", 2},
      {"dunklen", 1}, {"hellen", 1}, {"Die", 7},        {"kleinen", 1}, {"fand", 2},  {"fort", 1},
      {"Feld", 1},    {"Hof", 1},    {"auf", 9},        {"frei", 1},    {"Kraft", 1}, {"Luft", 1}};
  std::sort(words.begin(), words.end(),
            [](const BookWord& a, const BookWord& b) { return a.text < b.text; });
  const Evidence evidence = gatherEvidence(classifyWords(words, dictionary), dictionary);
  EXPECT_GT(evidence.confidence('f', 's'), 0.8);
  const auto nr =
      std::find_if(evidence.pairs.begin(), evidence.pairs.end(),
                   [](const PairEvidence& p) { return p.scanned == 'n' && p.meant == 'r'; });
  ASSERT_NE(nr, evidence.pairs.end());
  EXPECT_EQ(nr->words, 2);
  EXPECT_LT(nr->confidence, 0.5);
  EXPECT_EQ(evidence.confidence('D', 'd'), 0);  // "Die" is a capitalised form, no evidence
  ASSERT_EQ(evidence.capitalised.size(), 1u);
  EXPECT_EQ(evidence.capitalised[0].text, "Die");
  const auto fs =
      std::find_if(evidence.pairs.begin(), evidence.pairs.end(),
                   [](const PairEvidence& p) { return p.scanned == 'f' && p.meant == 's'; });
  ASSERT_NE(fs, evidence.pairs.end());
  EXPECT_EQ(fs->words, 8);  // "fein" too: the page has no "fein" of its own
  EXPECT_EQ(fs->occurrences, 15);
  EXPECT_EQ(fs->examples.front(), (std::pair<std::string, std::string>{"Haufe", "Hause"}));
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
  const LikelyReadings likely(classified, dictionary, evidence, tables);
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

TEST(DirectoryChecks, TellUtf8FromWindows1252) {
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
}  // namespace scanmend::advise
