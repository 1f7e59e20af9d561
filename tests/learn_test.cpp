// The learner on books made here: a book whose pages misread the long s as
// "f" teaches that "f" stands for s inside words and stays an f at their
// end; a book without misreadings teaches nothing and stays as it is; a
// profile written out reads back as it was, and an edited one decides as
// the edit says.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "book/book.h"
#include "dictionary/sorted_words.h"
#include "learn/decision.h"
#include "profile/known_words.h"
#include "profile/learning.h"
#include "profile/profile.h"
#include "profile/readings.h"

namespace scanmend::learn {
namespace {

const char* const kWords[] = {
    "sie", "sich", "sein", "fein", "sehr", "lesen", "fassen", "Haus", "auf", "aus", "Geist", "ist",
    "das", "der", "die", "und", "so", "es", "Hof", "Schlaf", "stehen", "Stimme", "besser",
    "Fenster", "Wasser", "Schiff", "los", "Last", "fest", "Nest", "Rest", "Gast", "Geschichte",
    "suchen", "sagen", "sehen", "sonst", "selten", "Insel", "Wiese", "lassen", "Kasten",
    // an f inside a word is an f as often as not
    "Hafen", "Ofen", "Tafel", "laufen", "helfen", "Kaffee", "hoffen", "rufen", "Gefahr", "Hilfe",
    "Schaufel", "Waffe", "offen", "Briefe"};

SortedWords lexiconOf(const std::vector<std::string>& words) {
  std::string bytes;
  for (const std::string& word : words) bytes += word + "\r\n";
  SortedWords lexicon;
  lexicon.assign(bytes);
  return lexicon;
}

// Every s that does not end a word printed as the long s and read as "f".
std::string misread(const std::string& word) {
  std::string out = word;
  for (std::size_t i = 0; i + 1 < out.size(); ++i)
    if (out[i] == 's') out[i] = 'f';
  return out;
}

std::vector<BookWord> wordsOf(const std::string& page) {
  return mostFrequentFirst(bookOfPages({page}).words);
}

std::vector<BookWord> bookOf(bool misreads) {
  std::string page;
  for (int repeat = 0; repeat < 6; ++repeat)
    for (const char* word : kWords) page += (misreads ? misread(word) : std::string(word)) + " ";
  return wordsOf(page);
}

TEST(Learning, RecoversTheInjectedMisreadingAndKeepsAFinalF) {
  const SortedWords lexicon = lexiconOf({std::begin(kWords), std::end(kWords)});
  const KnownWords known(lexicon, Spelling::shipped());
  const Profile profile = learnProfile(bookOf(true), known);
  const ProfileEntry* inside = profile.find("f", false);
  ASSERT_NE(inside, nullptr) << formatProfile(profile);
  ASSERT_FALSE(inside->readings.empty());
  EXPECT_EQ(inside->readings[0].text, "s");
  EXPECT_GT(inside->readings[0].probability, 0.5);
  const ProfileEntry* atEnd = profile.find("f", true);
  EXPECT_TRUE(atEnd == nullptr || atEnd->stay() > 0.9) << formatProfile(profile);

  const std::vector<BookWord> book = bookOf(true);
  const Decider decider(known, profile, book);
  // "fein" is scanned for "sein" and "fein" alike here, as often: it stays.
  for (const char* word : kWords) {
    if (misread(word) == "fein") continue;
    EXPECT_EQ(decider.decide(misread(word)).result, word) << word;
  }
}

TEST(Learning, ABookWithoutMisreadingsComesOutUnchanged) {
  const SortedWords lexicon = lexiconOf({std::begin(kWords), std::end(kWords)});
  const KnownWords known(lexicon, Spelling::shipped());
  const std::vector<BookWord> words = bookOf(false);
  const Profile profile = learnProfile(words, known);
  EXPECT_TRUE(profile.empty()) << formatProfile(profile);
  const Decider decider(known, profile, words);
  for (const BookWord& word : words) {
    const Decision decision = decider.decide(word.text);
    EXPECT_EQ(decision.result, word.text);
    EXPECT_EQ(decision.kind, WordOutcome::Kind::CorrectUnchanged);
  }
}

Profile profileOf(const std::string& rows) {
  Profile profile;
  std::string error;
  EXPECT_TRUE(parseProfile("scanned\tplace\treading\tprobability\twords\texamples\n" + rows,
                           profile, error))
      << error;
  return profile;
}

TEST(Decision, AWordsOwnOccurrencesDoNotVouchForItsReadings) {
  const SortedWords lexicon = lexiconOf({"gefunden", "gesunden"});
  const KnownWords known(lexicon, Spelling::shipped());
  const Profile profile = profileOf("f\tother\ts\t0.4\t\t\n");
  // Three times "f" for s would make "gesunden" of it: the book must show
  // "gesunden" elsewhere for that. A dictionary word is then a suspect to
  // review, and changed only where the OCR's confidence weighs each
  // occurrence.
  const std::vector<BookWord> alone = wordsOf("gefunden gefunden gefunden");
  const Decision kept = Decider(known, profile, alone).decide("gefunden");
  EXPECT_EQ(kept.result, "gefunden");
  EXPECT_FALSE(kept.suspect);
  const std::vector<BookWord> elsewhere = wordsOf("gefunden gesunden gesunden gesunden");
  const Decision suspect = Decider(known, profile, elsewhere).decide("gefunden");
  EXPECT_EQ(suspect.result, "gefunden");
  EXPECT_TRUE(suspect.suspect);
  EXPECT_EQ(suspect.runnerUp, "gesunden");
  EXPECT_EQ(
      Decider(known, profile, elsewhere, /*occurrencesWeighed=*/true).decide("gefunden").result,
      "gesunden");
}

TEST(Decision, AnUnlistedWordKeepsItselfAgainstARareMisreading) {
  const SortedWords lexicon = lexiconOf({"walle", "zur"});
  const KnownWords known(lexicon, Spelling::shipped());
  const std::vector<BookWord> words = wordsOf("wolle wolle wolle znr");
  const Profile unlikely = profileOf("o\tother\ta\t0.003\t\t\n");
  const Decision rare = Decider(known, unlikely, words).decide("wolle");
  EXPECT_EQ(rare.result, "wolle");
  EXPECT_EQ(rare.kind, WordOutcome::Kind::Unknown);
  EXPECT_EQ(rare.runnerUp, "walle");
  const Profile likely = profileOf("o\tother\ta\t0.3\t\t\nn\tother\tu\t0.02\t\t\n");
  const Decider often(known, likely, words);
  EXPECT_EQ(often.decide("wolle").result, "walle");
  EXPECT_EQ(often.decide("znr").result, "zur")
      << "a word that is no word takes a likely enough reading";
}

TEST(Learning, ACapitalReadAsAnotherKeepsItsCapital) {
  // Sentence starts read "D" for "V"; the dictionary lists the words small.
  const std::vector<std::string> starts = {"viele",    "vor",  "von",  "vielleicht",
                                           "verloren", "voll", "vater"};
  std::vector<std::string> listed = starts;
  for (const char* word : kWords) listed.emplace_back(word);
  listed.insert(listed.end(), {"dann", "doch", "dort", "dunkel", "dabei"});
  std::string page;
  for (int repeat = 0; repeat < 4; ++repeat) {
    for (const std::string& word : starts) page += "D" + word.substr(1) + " ";
    for (const char* word : {"Dann", "Doch", "Dort", "Dunkel", "Dabei"})
      page += std::string(word) + " ";
    for (const char* word : kWords) page += std::string(word) + " ";
  }
  const SortedWords lexicon = lexiconOf(listed);
  const KnownWords known(lexicon, Spelling::shipped());
  const Profile profile = learnProfile(wordsOf(page), known);
  const ProfileEntry* entry = profile.find("D", false);
  ASSERT_NE(entry, nullptr) << formatProfile(profile);
  ASSERT_EQ(entry->readings.size(), 1u) << formatProfile(profile);
  EXPECT_EQ(entry->readings[0].text, "V");
  const std::vector<BookWord> book = wordsOf(page);
  const Decider decider(known, profile, book);
  EXPECT_EQ(decider.decide("Dielleicht").result, "Vielleicht");
  EXPECT_EQ(decider.decide("Dort").result, "Dort");
}

TEST(Learning, AGroupShownInsideWordsIsLearnedAtTheirEndOnLessEvidence) {
  const std::vector<std::string> sharp = {
      "Stra\xDF"
      "e",
      "gro\xDF"
      "en",
      "wu\xDF"
      "te",
      "hei\xDF"
      "en",
      "drau\xDF"
      "en",
      "Fu\xDF"
      "e",
      "drei\xDF"
      "ig"};
  const std::vector<std::string> ending = {"da\xDF", "sa\xDF"};
  std::vector<std::string> listed(std::begin(kWords), std::end(kWords));
  // Listed words that hold "sz" and make no word of it with "\xDF".
  listed.insert(listed.end(), {"auszug", "ausziehen", "auszeichnen", "eiszeit", "hauszins",
                               "reiszwecke", "ausz\xE4hlen", "kreiszahl", "auszahlen", "reiszahn"});
  listed.insert(listed.end(), sharp.begin(), sharp.end());
  listed.insert(listed.end(), ending.begin(), ending.end());
  auto asRead = [](std::string word) { return word.replace(word.find('\xDF'), 1, "sz"); };
  std::string page;
  for (int repeat = 0; repeat < 3; ++repeat) {
    for (const std::string& word : sharp) page += asRead(word) + " ";
    for (const std::string& word : ending) page += asRead(word) + " ";
    for (const char* word : kWords) page += std::string(word) + " ";
  }
  const SortedWords lexicon = lexiconOf(listed);
  const KnownWords known(lexicon, Spelling::shipped());
  const Profile profile = learnProfile(wordsOf(page), known);
  for (const bool atEnd : {false, true}) {
    const ProfileEntry* entry = profile.find("sz", atEnd);
    ASSERT_NE(entry, nullptr) << (atEnd ? "at the end\n" : "inside\n") << formatProfile(profile);
    ASSERT_FALSE(entry->readings.empty());
    EXPECT_EQ(entry->readings[0].text, "\xDF");
  }
  const std::vector<BookWord> book = wordsOf(page);
  const Decider decider(known, profile, book);
  EXPECT_EQ(decider.decide("dasz").result, "da\xDF");
  EXPECT_EQ(decider.decide("auszug").kind, WordOutcome::Kind::CorrectUnchanged)
      << "every \"sz\" seen was a misreading, but a listed word keeps its own";
}

TEST(Learning, ALetterMisreadRarelyButAllOverTheBookStaysLearned) {
  // Words of syllables; the book reads a "t" as "r" in one word form of
  // twenty, each such form only once, while its words hold many an "r".
  const char* const syllables[] = {"ta", "te", "ti", "mo", "ku", "ne",
                                   "lo", "sa", "or", "ur", "er"};
  std::set<std::string> listed;
  for (const char* a : syllables)
    for (const char* b : syllables)
      for (const char* c : syllables) listed.insert(std::string(a) + b + c);
  std::string page;
  std::vector<std::pair<std::string, std::string>> misreadOnce;
  std::size_t form = 0;
  for (const std::string& word : listed) {
    for (int repeat = 0; repeat < 3; ++repeat) page += word + " ";
    std::string read = word;
    if (++form % 20 != 0 || word.find('t') == std::string::npos) continue;
    read[read.find('t')] = 'r';
    if (listed.contains(read)) continue;
    page += read + " ";
    misreadOnce.emplace_back(read, word);
  }
  ASSERT_GT(misreadOnce.size(), 30u);
  const SortedWords lexicon = lexiconOf({listed.begin(), listed.end()});
  const KnownWords known(lexicon, Spelling::shipped());
  const std::vector<BookWord> book = wordsOf(page);
  const Profile profile = learnProfile(book, known);
  // Its probability is what the book shows, not worn away round by round.
  double inside = 0;
  for (const BookWord& word : book)
    for (std::size_t at = 0; at + 1 < word.text.size(); ++at)
      inside += word.text[at] == 'r' ? static_cast<double>(word.count) : 0.0;
  const double shown = static_cast<double>(misreadOnce.size()) / inside;
  const ProfileEntry* entry = profile.find("r", false);
  ASSERT_NE(entry, nullptr) << formatProfile(profile);
  ASSERT_EQ(entry->readings[0].text, "t") << formatProfile(profile);
  EXPECT_GT(entry->readings[0].probability, 0.8 * shown) << formatProfile(profile);
  const Decider decider(known, profile, book);
  for (const auto& [read, meant] : misreadOnce) EXPECT_EQ(decider.decide(read).result, meant);
}

TEST(Decision, GroupsCapitalsAndTheMarksAroundAWord) {
  const SortedWords lexicon = lexiconOf({"korn", "Kammer", "alle", "sie", "Vater", "wollen"});
  const KnownWords known(lexicon, Spelling::shipped());
  const Profile profile = profileOf(
      "fi\tother\tK\t0.4\t\t\n"  // two letters read for one
      "U\tother\tll\t0.3\t\t\n"  // one letter read for two
      "f\tother\ts\t0.6\t\t\n"
      "D\tother\tV\t0.2\t\t\n");
  const std::vector<BookWord> words = wordsOf("fiorn Kammer aUe fie Dater woUen");
  const Decider decider(known, profile, words);
  const struct {
    const char* scanned;
    const char* written;
    WordOutcome::Kind kind;
  } cases[] = {
      {"fiorn", "Korn",
       WordOutcome::Kind::ChangedIncorrect},  // "korn" listed small, the capital kept
      {"fiammer", "Kammer", WordOutcome::Kind::ChangedIncorrect},
      {"aUe", "alle", WordOutcome::Kind::ChangedIncorrect},
      {"woUen", "wollen", WordOutcome::Kind::ChangedIncorrect},
      {"\x84"
       "fie,\x93",
       "\x84"
       "sie,\x93",
       WordOutcome::Kind::ChangedIncorrect},
      {"Dater!", "Vater!", WordOutcome::Kind::ChangedIncorrect},
      {"Kammer", "Kammer", WordOutcome::Kind::CorrectUnchanged},
      {"Qwx", "Qwx", WordOutcome::Kind::Unknown},
      {"12", "12", WordOutcome::Kind::Unknown},
  };
  for (const auto& c : cases) {
    const Decision decision = decider.decide(c.scanned);
    EXPECT_EQ(decision.result, c.written) << c.scanned;
    EXPECT_EQ(decision.kind, c.kind) << c.scanned;
  }
}

TEST(Learning, KeepsTheBooksSpellingNamesAndCompoundsAndMendsItsMisreadings) {
  std::vector<std::string> listed(std::begin(kWords), std::end(kWords));
  // The dictionary spells as in 1901 and later.
  listed.insert(listed.end(), {"Teil", "sei", "gibt", "Rat", "Wert", "getan", "anderen", "ich",
                               "Verh\xE4ltnis", "Hilfe", "Haus", "Besitzer", "wohl", "T\xE4tigkeit",
                               "bei", "zwei", "Sohn", "kam"});
  // The book spells as its time did, names its people and builds its
  // compounds; its scanner reads the long s as "f" wherever it can.
  const std::vector<std::string> own{"Theil",
                                     "seyn",
                                     "sey",
                                     "giebt",
                                     "Rath",
                                     "Werth",
                                     "gethan",
                                     "andern",
                                     "Jch",
                                     "Verh\xE4ltni\xDF",
                                     "H\xFClfe",
                                     "Hausbesitzer",
                                     "Wohlth\xE4tigkeit",
                                     "bey",
                                     "zwey",
                                     "Reinhold",
                                     "Wallis",
                                     "Gottfried",
                                     "Kunigunde"};
  std::vector<std::string> pages;
  for (int n = 0; n < 4; ++n) {
    std::string page;
    for (const char* word : kWords) page += misread(word) + " ";
    for (const std::string& word : own) page += word + " " + word + " ";
    // The book's own words misread too, now and then.
    page += "feyn Hausbefitzer Wohlth\xE4tigkeit Sohn kam. fey\n";
    pages.push_back(page);
  }
  const SortedWords lexicon = lexiconOf(listed);
  const KnownWords known(lexicon, Spelling::shipped());
  const std::vector<BookWord> words = mostFrequentFirst(bookOfPages(pages).words);
  const Profile profile = learnProfile(words, known);
  const Decider decider(known, profile, words);
  for (const std::string& word : own) {
    const Decision decision = decider.decide(word);
    EXPECT_EQ(decision.result, word) << formatProfile(profile);
    EXPECT_EQ(decision.kind, WordOutcome::Kind::CorrectUnchanged) << word;
  }
  EXPECT_EQ(decider.decide("Theil").kept, "spelling of Teil");
  EXPECT_EQ(decider.decide("Hausbesitzer").kept, "compound Haus+besitzer");
  EXPECT_EQ(decider.decide("Reinhold").kept, "the book's own word");
  for (const char* word : kWords) {
    if (misread(word) == "fein") continue;  // "fein" and "sein" alike
    EXPECT_EQ(decider.decide(misread(word)).result, word) << word;
  }
  EXPECT_EQ(decider.decide("feyn").result, "seyn");
  EXPECT_EQ(decider.decide("fey").result, "sey");
  EXPECT_EQ(decider.decide("Hausbefitzer").result, "Hausbesitzer");
}

TEST(Decision, AFrequentWordStaysBesideAMoreFrequentNeighbour) {
  const SortedWords lexicon = lexiconOf({"und", "uns", "ist", "in"});
  const KnownWords known(lexicon, Spelling::shipped());
  std::string page;
  for (int n = 0; n < 100; ++n)
    page += std::string("in in in in in in und und und uns ift ift ift ") + (n % 10 ? "" : "ist ");
  const std::vector<BookWord> words = wordsOf(page);
  // A rare exchange leads from "uns" to the likelier "und"; "ift", the
  // long s read as "f", is "ist" far more often than the rare "ft" for
  // "n" makes it the more frequent "in", though the book prints "ist"
  // right only ten times: the frequencies count the "ist" that "ift"
  // stands for, not only those printed right.
  const Profile profile = profileOf(
      "s\tend\td\t0.02\t\t\n"
      "f\tother\ts\t0.5\t\t\n"
      "ft\tend\tn\t0.05\t\t\n");
  const Decider decider(known, profile, words);
  EXPECT_EQ(decider.decide("uns").result, "uns");
  EXPECT_EQ(decider.decide("und").result, "und");
  EXPECT_EQ(decider.decide("ift").result, "ist");
}

TEST(Profile, ReadsBackAsWrittenAndAnEditDecidesAsItSays) {
  const SortedWords lexicon = lexiconOf({std::begin(kWords), std::end(kWords)});
  const KnownWords known(lexicon, Spelling::shipped());
  const Profile learned = learnProfile(bookOf(true), known);
  Profile again;
  std::string error;
  ASSERT_TRUE(parseProfile(formatProfile(learned), again, error)) << error;
  EXPECT_EQ(formatProfile(again).substr(0, 60), formatProfile(learned).substr(0, 60));

  // Without the reading "f" for s, "fich" has no reading and stays unknown.
  Profile edited;
  ASSERT_TRUE(
      parseProfile("scanned\tplace\treading\tprobability\twords\texamples\n"
                   "f\tother\tf\t1.0000\t\t\n",
                   edited, error))
      << error;
  const std::vector<BookWord> book = bookOf(true);
  EXPECT_EQ(Decider(known, edited, book).decide("fich").kind, WordOutcome::Kind::Unknown);
  ASSERT_TRUE(parseProfile("f\tother\ts\t0.9\t\t\n", edited, error)) << error;
  EXPECT_EQ(Decider(known, edited, book).decide("fich").result, "sich");

  const struct {
    const char* text;
    const char* reason;
  } bad[] = {
      {"f\tother\ts\n", "a row needs"},
      {"f\tmiddle\ts\t0.5\n", "the place"},
      {"f\tother\ts\t1.5\n", "no number from 0 to 1"},
      {"f\tother\ts\t0.6\nf\tother\tt\t0.6\n", "more than 1"},
      {"fff\tother\ts\t0.5\n", "one or two letters"},
  };
  for (const auto& row : bad) {
    EXPECT_FALSE(parseProfile(row.text, edited, error)) << row.text;
    EXPECT_NE(error.find(row.reason), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace scanmend::learn
