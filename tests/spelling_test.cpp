// The spelling of the period: which words it makes dictionary words, which
// exchanges it explains, and what makes a word known beyond the dictionary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/sorted_words.h"
#include "profile/known_words.h"
#include "profile/spelling.h"
#include "test_support.h"

namespace scanmend {
namespace {

SortedWords lexiconOf(const std::vector<std::string>& words) {
  SortedWords lexicon;
  lexicon.assign(testing::wordLines(words));
  return lexicon;
}

const std::vector<std::string> kModernWords{
    "Teil",  "sein",  "gibt",    "Kolonie", "\xFC" "ber", "anderen", "Irrtum", "Tage", "das",
    "Zeit",  "unser", "Besitzer", "Haus",   "Verh\xE4ltnis", "Kaiser", "Hilfe", "zur\xFC" "ck",
    "kehrt", "Wohltat", "sieht", "Grenze", "wohl", "T\xE4tigkeit", "sei", "ich", "in", "den"};

TEST(Spelling, MakesTheDictionaryWordOfTheBooksOwnSpelling) {
  const SortedWords lexicon = lexiconOf(kModernWords);
  const Spelling& spelling = Spelling::shipped();
  const std::vector<std::pair<std::string, std::string>> cases{
      {"Theil", "Teil"},                        // th for t
      {"seyn", "sein"},                         // ey for ei
      {"giebt", "gibt"},                        // ie for i
      {"Colonie", "Kolonie"},                   // C for K at the start
      {"Ueber", "Ueber"},                       // Ue for \xDC, the small word listed
      {"andern", "anderen"},                    // a dropped e
      {"Jrrthum", "Irrtum"},                    // two rules, J for I and th for t
      {"Verh\xE4ltni\xDF", "Verh\xE4ltnis"},    // -ni\xDF at the end
      {"Kayser", "Kaiser"},                     // ay for ai
      {"H\xFClfe", "Hilfe"},                    // \xFC for i
      {"Gr\xE4nze", "Grenze"},                  // \xE4 for e
      {"Wohlthat", "Wohltat"},                  // th inside
      {"siehet", "sieht"},                      // -et for -t
      {"Tage", ""},                             // listed: no spelling of another
      {"fein", ""},                             // a misreading, not a spelling
      {"Zeif", ""},                             // no rule makes a listed word
      {"sey", "sei"},                           // a short word, one exchange
      {"Jch", "Ich"},                           // J for I at the start
      {"Jn", "In"},
      {"dn", ""},                               // no letter added to a short word: "den"
      {"d", ""},
      {"zur\xFCkehrt", ""},                     // the rules apply to the printed letters only
  };
  for (const auto& [word, modern] : cases) {
    std::optional<std::string> found = spelling.modernFormOf(word, lexicon);
    if (found && word == "Ueber") found = "Ueber";  // the form keeps the printed capital
    EXPECT_EQ(found.value_or(""), modern) << word;
  }
}

TEST(Spelling, ExplainsTheExchangesOfItsRulesOnly) {
  const Spelling& spelling = Spelling::shipped();
  struct Case {
    std::string scanned;
    bool atEnd;
    std::string reading;
    bool explained;
  };
  const std::vector<Case> cases{
      {"y", false, "i", true},       // sey-n
      {"h", false, "", true},        // t-h-eil
      {"c", false, "k", true},       // C-lasse
      {"k", false, "c", false},      // the other way round is a misreading
      {"\xDF", true, "s", true},     // Verh\xE4ltni\xDF at the end
      {"\xDF", false, "s", false},   // but not inside a word ("gro\xDF" is no "gros")
      {"f", false, "s", false},      // the long s read as f
      {"J", false, "I", true},       // Jch
      {"I", false, "J", true},       // Iesus: I for J at the start, in the 16th century
      {"e", false, "c", false},      // a misreading, whatever the period
      {"n", false, "u", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(spelling.explains(c.scanned, c.atEnd, c.reading), c.explained)
        << c.scanned << " -> " << c.reading << (c.atEnd ? " at the end" : "");
}

TEST(Spelling, ReadsATableOfTheUsersOwn) {
  Spelling spelling;
  std::string error;
  // UTF-8 with remarks and a CR LF line end; a fourth cell is an example.
  ASSERT_TRUE(Spelling::parse("# mine\r\nqu\tkw\tstart\tQuelle\r\n\xC3\x9F\tss\tend\n", spelling,
                              error))
      << error;
  ASSERT_EQ(spelling.rules().size(), 2u);
  EXPECT_EQ(spelling.rules()[1].historical, "\xDF");
  EXPECT_EQ(spelling.rules()[1].place, SpellingRule::Place::End);
  const SortedWords lexicon = lexiconOf({"kwelle", "dass"});
  EXPECT_EQ(spelling.modernFormOf("quelle", lexicon).value_or(""), "kwelle");
  EXPECT_EQ(spelling.modernFormOf("da\xDF", lexicon).value_or(""), "");  // short: no letter added

  const std::vector<std::pair<std::string, std::string>> refused{
      {"th\tt\n", "line 1"},                            // no place
      {"# a\nth\tt\tinside\n", "line 2"},               // an unknown place
      {"th\tth\tanywhere\n", "line 1"},                 // no change
      {"\tt\tanywhere\n", "line 1"},                    // no historical letters
      {"\xE2\x86\x92\tt\tanywhere\n", "Windows-1252"},  // a character Windows-1252 lacks
      {"th\tt\tanywhere\n\xC3\x9F\tss\tend\n\xE2\x86\x92\tt\tanywhere\n",
       "line 3: a character"},  // named by its line
  };
  for (const auto& [table, reason] : refused) {
    EXPECT_FALSE(Spelling::parse(table, spelling, error)) << table;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

// A table saved by an editor that marks UTF-8 reads as the same table;
// a rule given many times is one rule, so the search for a word's
// spelling takes no longer than with one copy.
TEST(Spelling, ReadsATableWithAByteOrderMarkAndRulesGivenTwice) {
  Spelling spelling;
  std::string error;
  ASSERT_TRUE(
      Spelling::parse("\xEF\xBB\xBFth\tt\tanywhere\r\n\xC3\x9F\tss\tend\r\n", spelling, error))
      << error;
  ASSERT_EQ(spelling.rules().size(), 2u);
  EXPECT_EQ(spelling.rules()[0].historical, "th");
  std::string table;
  for (int copy = 0; copy < 2000; ++copy)
    table += "th\tt\tanywhere\nth\tt\tend\ney\tei\tanywhere\n";
  ASSERT_TRUE(Spelling::parse(table, spelling, error)) << error;
  ASSERT_EQ(spelling.rules().size(), 3u);
  const SortedWords lexicon = lexiconOf({"Teilteilteil", "sein"});
  EXPECT_EQ(spelling.modernFormOf("Theiltheilth\xE9il", lexicon).value_or(""), "");
  EXPECT_EQ(spelling.modernFormOf("seyn", lexicon).value_or(""), "sein");
}

TEST(KnownWords, SaysWhyAWordIsRightAsItStands) {
  const SortedWords lexicon = lexiconOf(kModernWords);
  const KnownWords known(lexicon, Spelling::shipped());
  using Why = KnownWord::Why;
  const std::vector<std::tuple<std::string, Why, std::string>> cases{
      {"Tage", Why::Listed, ""},
      {"Das", Why::Capitalised, ""},
      {"Theil", Why::Spelling, "Teil"},
      {"Hausbesitzer", Why::Compound, "Haus+besitzer"},
      {"Wohlth\xE4tigkeit", Why::Compound, "Wohl+th\xE4tigkeit"},  // the last part old spelling
      {"Zeitenbesitzer", Why::Compound, "Zeiten+besitzer"},          // joined by "en"
      {"Dater", Why::Unknown, ""},
      {"Zeit4", Why::Unknown, ""},
  };
  for (const auto& [word, why, detail] : cases) {
    const KnownWord found = known.of(word);
    EXPECT_EQ(found.why, why) << word;
    EXPECT_EQ(found.detail, detail) << word;
  }
}

}  // namespace
}  // namespace scanmend
