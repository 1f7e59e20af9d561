// The evidence for misreadings against the dictionary's own neighbourhood.
#include "profile/evidence.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "test_support.h"

namespace scanmend {
namespace {

Dictionary walkedDictionary(const std::vector<std::string>& words) {
  Dictionary dictionary;
  dictionary.assign(testing::wordLines(words), identityFold(), ReadingSearch::PrefixWalk);
  return dictionary;
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

}  // namespace
}  // namespace scanmend
