// The parts the learner decides with, each as a caller meets it: a word's
// core with the OCR's marks, the letter alignment of a word read and
// meant, profile.tsv with its kinds, the period's spelling weighed for a
// book, the prior under which a book is likeliest, the words a line end
// breaks, and what a person decided.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "book/book.h"
#include "book/word_core.h"
#include "dictionary/sorted_words.h"
#include "learn/line_breaks.h"
#include "learn/reviewed_words.h"
#include "profile/alignment.h"
#include "profile/known_words.h"
#include "profile/ocr_prior.h"
#include "profile/profile.h"
#include "profile/readings.h"
#include "profile/spelling_weights.h"

namespace scanmend {
namespace {

SortedWords lexiconOf(const std::vector<std::string>& words) {
  std::string lines;
  for (const std::string& word : words) lines += word + "\n";
  SortedWords lexicon;
  lexicon.assign(lines);
  return lexicon;
}

TEST(WordCore, KeepsTheMarksOcrWritesForLettersAndDropsThePunctuation) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"durc<", "durc<"},   // "<" for "ch" at the end
      {"Glo>e", "Glo>e"},   // ">" for "ck" inside
      {"\x84Ich", "Ich"},   // a quotation mark before
      {"alle8,", "alle8"},  // a digit for "s", a comma after
      {"<inesischen", "<inesischen"},
      {"2ten", "ten"},   // an ordinal's number is no letter
      {"1815", ""},      // a number has no core
      {"{wer", "{wer"},  // a brace for the long s
  };
  for (const auto& [word, core] : cases) {
    const auto [begin, end] = coreOf(word);
    EXPECT_EQ(word.substr(begin, end - begin), core) << word;
  }
  EXPECT_TRUE(holdsOcrMark("ni<t"));
  EXPECT_FALSE(holdsOcrMark("nicht"));
  EXPECT_TRUE(holdsForeignAccent("G\xE9sandten"));
  EXPECT_FALSE(
      holdsForeignAccent("Gr\xF6\xDF"
                         "e"));
  EXPECT_TRUE(isOcrWord("de8"));
  EXPECT_FALSE(isOcrWord("1815"));
}

TEST(Alignment, LinesUpEachScannedLetterWithWhatItStandsFor) {
  // scanned letters, then what each stands for, in order.
  const struct {
    std::string read;
    std::string meant;
    std::vector<std::tuple<std::size_t, std::size_t, std::string>> changed;
  } cases[] = {
      {"fie", "sie", {{0, 1, "s"}}},
      {"kaiserlihen", "kaiserlichen", {{8, 1, "ch"}}},
      {"Gese\xDFlihkeit", "Gesetzlichkeit", {{4, 1, "tz"}, {7, 1, "ch"}}},
      {"dur", "durch", {{3, 0, "ch"}}},  // left off at the end
      {"Es8", "Es", {{2, 1, ""}}},       // a mark read for nothing
      {"sie", "sie", {}},
  };
  for (const auto& c : cases) {
    std::vector<std::tuple<std::size_t, std::size_t, std::string>> changed;
    std::size_t covered = 0;
    for (const AlignedStep& step : alignWords(c.read, c.meant)) {
      covered += step.length;
      if (c.read.substr(step.at, step.length) != step.meant)
        changed.emplace_back(step.at, step.length, step.meant);
    }
    EXPECT_EQ(covered, c.read.size()) << c.read;
    EXPECT_EQ(changed, c.changed) << c.read;
  }
}

TEST(Profile, WritesAndReadsItsKindsTheLettersLeftOffAndUtf8) {
  Profile profile;
  std::string error;
  ASSERT_TRUE(
      parseProfile("scanned\tplace\treading\tprobability\twords\texamples\tkind\n"
                   "f\tother\ts\t0.5\t3\tfie>sie\tmisreading\n"
                   "\tend\tch\t0.01\t2\tdur>durch\tmisreading\n"
                   "8\tend\t\t0.2\t1\tEs8>Es\tmisreading\n"
                   "v\tstart\tu\t0.9\t12\tvnd>und\tspelling\n",
                   profile, error))
      << error;
  ASSERT_NE(profile.find("", true), nullptr);
  EXPECT_EQ(profile.find("", true)->readings[0].text, "ch");
  EXPECT_EQ(profile.find("", false), nullptr);
  ASSERT_EQ(profile.spelling().size(), 1u);
  EXPECT_EQ(profile.spelling()[0].rule.historical, "v");
  EXPECT_EQ(profile.spelling()[0].rule.place, SpellingRule::Place::Start);
  EXPECT_DOUBLE_EQ(profile.spelling()[0].weight, 0.9);
  Profile again;
  ASSERT_TRUE(parseProfile(formatProfile(profile), again, error)) << error;
  EXPECT_EQ(formatProfile(again), formatProfile(profile));

  // As an editor saves it in UTF-8, with the remarks a prior opens with.
  ASSERT_TRUE(
      parseProfile("# a prior\nscanned\tplace\treading\tprobability\twords\texamples\n"
                   "\xC3\x9F\tother\ttz\t0.2\t4\n",
                   again, error))
      << error;
  ASSERT_NE(again.find("\xDF", false), nullptr);

  const struct {
    const char* text;
    const char* reason;
  } bad[] = {
      {"\tother\tch\t0.1\n", "none at the end"},  // letters left off only at the end
      {"v\tmiddle\tu\t0.5\t\t\tspelling\n", "spelling rule"},
      {"f\tother\ts\t0.5\t\t\tguess\n", "the kind"},
      {"\xE2\x86\x92\tother\ts\t0.5\n", "Windows-1252"},
  };
  for (const auto& row : bad) {
    EXPECT_FALSE(parseProfile(row.text, again, error)) << row.text;
    EXPECT_NE(error.find(row.reason), std::string::npos) << error;
  }
}

// The rule of the shipped table that reads `historical` as `modern`.
std::size_t ruleOf(const Spelling& spelling, std::string_view historical, std::string_view modern) {
  for (std::size_t r = 0; r < spelling.rules().size(); ++r)
    if (spelling.rules()[r].historical == historical && spelling.rules()[r].modern == modern)
      return r;
  ADD_FAILURE() << historical << " to " << modern;
  return 0;
}

TEST(SpellingWeights, ARuleTheBookFollowsWeighsMuchARuleSeenOnceLittle) {
  const SortedWords lexicon =
      lexiconOf({"und", "uns", "unter", "sein", "Teil", "das", "ist", "Rechte",
                 "N\xE4"
                 "chte"});
  const KnownWords known(lexicon, Spelling::shipped());
  const std::size_t vu = ruleOf(known.spelling(), "v", "u");
  const std::size_t ey = ruleOf(known.spelling(), "ey", "ei");
  const std::size_t th = ruleOf(known.spelling(), "th", "t");
  const std::size_t ea = ruleOf(known.spelling(), "e", "\xE4");
  // Pages 1 to 3 print "vnd" and "vns" throughout; page 3 prints "seyn"
  // once and "sein" ten times beside it; "Theil" is seen once.
  const std::vector<BookWord> words{
      {"vnd", 40, {1, 2, 3}}, {"vns", 12, {1, 2}}, {"vnter", 6, {2, 3}},   {"seyn", 1, {3}},
      {"sein", 10, {3}},      {"Theil", 1, {2}},   {"das", 30, {1, 2, 3}}, {"Nechte", 3, {1, 2}}};
  std::vector<RuleUse> uses = weighSpellingRules(words, known);
  EXPECT_GT(uses[vu].weight, 0.8);
  EXPECT_EQ(uses[vu].words, 3);
  EXPECT_LT(uses[ey].weight, 0.1) << "contradicted on its page";
  EXPECT_LT(uses[th].weight, 0.2) << "a rule seen once is no licence";
  EXPECT_EQ(uses[vu].examples.front(), "vnd>und");
  // Once the OCR is known to read "R" as "N", "Nechte" is no "N\xE4" "chte".
  const double before = uses[ea].weight;
  Profile profile;
  std::string error;
  ASSERT_TRUE(parseProfile("N\tother\tR\t0.3\n", profile, error)) << error;
  uses = weighSpellingRules(words, known, &profile);
  EXPECT_LT(uses[ea].weight, before);
}

TEST(KnownWords, ASpellingIsOnlyAsSureAsTheRulesTheBookFollows) {
  const SortedWords lexicon = lexiconOf({"sein", "Haus", "besitzer"});
  KnownWords known(lexicon, Spelling::shipped());
  EXPECT_EQ(known.of("seyn").why, KnownWord::Why::Spelling);
  std::vector<double> weights(known.spelling().rules().size(), 0.05);
  known.weighRules(weights);
  EXPECT_EQ(known.of("seyn").why, KnownWord::Why::Unknown) << "a rule the book hardly follows";
  weights[ruleOf(known.spelling(), "ey", "ei")] = 0.7;
  known.weighRules(weights);
  const KnownWord seyn = known.of("seyn");
  EXPECT_EQ(seyn.why, KnownWord::Why::Spelling);
  EXPECT_DOUBLE_EQ(seyn.weight, 0.7);
  EXPECT_EQ(known.of("Hausbesitzer").why, KnownWord::Why::Compound);
}

TEST(OcrPrior, ABookIsReadWithThePriorUnderWhichItIsLikeliest) {
  const std::vector<OcrPrior>& shipped = shippedPriors();
  ASSERT_EQ(shipped.size(), 3u);
  for (const OcrPrior& prior : shipped) EXPECT_FALSE(prior.profile.empty()) << prior.name;

  const SortedWords lexicon = lexiconOf({"sie", "sich", "sein", "das", "Frau", "auf", "Vater"});
  const KnownWords known(lexicon, Spelling::shipped());
  std::vector<OcrPrior> priors(2);
  std::string error;
  ASSERT_TRUE(parseProfile("f\tother\ts\t0.6\n", priors[0].profile, error)) << error;
  ASSERT_TRUE(parseProfile("D\tother\tV\t0.3\n", priors[1].profile, error)) << error;
  const std::vector<BookWord> longS{{"fie", 9, {1}}, {"fich", 4, {1}}, {"das", 9, {1}}};
  const std::vector<BookWord> capitals{{"Dater", 5, {1}}, {"Frau", 9, {1}}, {"auf", 9, {1}}};
  EXPECT_EQ(likeliestPrior(longS, known, priors), 0u);
  EXPECT_EQ(likeliestPrior(capitals, known, priors), 1u);
}

TEST(LineBreaks, AWordBrokenAtALineEndIsFoundAndSplitBackInItsPlaces) {
  const SortedWords lexicon =
      lexiconOf({"Gesellschaft", "Mangel", "Nord", "und", "Haus", "kam", "es", "war", "Mann"});
  const struct {
    std::string page;
    std::string joined;  // the words as counted: broken words whole
    std::vector<bool> hyphens;
  } cases[] = {
      {"die Gesell-\nfchaft kam\n", "die Gesellfchaft\n kam\n", {true}},
      {"es war Mans\ngel da\n", "es war Mangel\n da\n", {false}},
      {"Nord-\nund S\xFC"
       "d\n",
       "Nord-\nund S\xFC"
       "d\n",
       {}},  // both halves are words
      {"das Haus:\nund Hof\n", "das Haus:\nund Hof\n", {}},
      {"der Ge-\nMann\n", "der Ge-\nMann\n", {}},  // the next line begins with a capital
  };
  for (const auto& c : cases) {
    const std::vector<learn::BrokenWord> broken = learn::brokenWordsOf(c.page, lexicon);
    ASSERT_EQ(broken.size(), c.hyphens.size()) << c.page;
    for (std::size_t k = 0; k < broken.size(); ++k) EXPECT_EQ(broken[k].hyphen, c.hyphens[k]);
    EXPECT_EQ(learn::withBrokenWordsJoined(c.page, broken), c.joined);
  }
  using Split = std::pair<std::string, std::string>;
  EXPECT_EQ(learn::splitAtBreak("Gesellfchaft", 6, "Gesellschaft"), Split("Gesell", "schaft"));
  EXPECT_EQ(learn::splitAtBreak("Gefellschaft", 6, "Gesellschaft"), Split("Gesell", "schaft"));
  EXPECT_EQ(learn::splitAtBreak("Ge\xDF"
                                "ellschaft",
                                2, "Gesellschaft"),
            Split("Ge", "sellschaft"));
  EXPECT_EQ(learn::splitAtBreak("Mangel", 3, "Mangel"), Split("Man", "gel"));
}

TEST(ReviewedWords, WhatMostRowsDecideHoldsForTheWord) {
  learn::ReviewedWords reviewed;
  std::string error;
  // As the review page saves it: UTF-8, with its other columns.
  ASSERT_TRUE(
      learn::ReviewedWords::parse("\xEF\xBB\xBFrow\tfile\tread\twritten\treason\tdecision\n"
                                  "1\ta.xml\tfie\tsie\tmisreading\taccept\n"
                                  "2\ta.xml\tDater\tDaten\tmisreading\tVater\n"
                                  "3\ta.xml\tlich\tlieh\tmisreading\treject\n"
                                  "4\tb.xml\tlich\tlieh\tmisreading\treject\n"
                                  "5\tb.xml\tlich\tlieh\tmisreading\taccept\n"
                                  "6\tb.xml\tfein\tsein\tsuspect\t\n"
                                  "7\tb.xml\tGr\xC3\xB6\xC3\x9F"
                                  "e\tGr\xC3\xB6\xC3\x9F"
                                  "e\tdoubt\treject\n",
                                  reviewed, error))
      << error;
  ASSERT_NE(reviewed.of("fie"), nullptr);
  EXPECT_EQ(reviewed.of("fie")->meant, "sie");
  EXPECT_EQ(reviewed.of("Dater")->meant, "Vater") << "the word typed";
  EXPECT_TRUE(reviewed.of("lich")->keep) << "two rejections against one";
  EXPECT_EQ(reviewed.of("fein"), nullptr) << "not decided";
  EXPECT_TRUE(reviewed
                  .of("Gr\xF6\xDF"
                      "e")
                  ->keep);
  const std::vector<ReviewedReading> readings =
      reviewed.readings({{"fie", 7, {1}}, {"Dater", 2, {1}}});
  ASSERT_EQ(readings.size(), 2u);
  EXPECT_EQ(readings[0].read, "Dater");
  EXPECT_EQ(readings[1].count, 7);

  const struct {
    const char* table;
    const char* reason;
  } bad[] = {
      {"row\tword\tdecision\n1\tfie\taccept\n", "header"},
      {"read\twritten\tdecision\nfie\tsie\n", "line 2"},
      {"read\twritten\tdecision\nfie\tsie\t...\n", "accept, reject or a word"},
  };
  for (const auto& c : bad) {
    EXPECT_FALSE(learn::ReviewedWords::parse(c.table, reviewed, error)) << c.table;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace scanmend
