// Books of the 16th and the 19th century as the learner meets them: an
// old print keeps its own spelling and has only its misreadings mended,
// the marks that OCR writes for letters are read as letters, a word with
// several misreadings finds its reading, a short book starts from what
// the OCR usually misreads, and what is right (a compound's parts, a
// foreign sentence, a word broken at a line end) is not broken.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "book/book.h"
#include "dictionary/sorted_words.h"
#include "learn/decision.h"
#include "profile/known_words.h"
#include "profile/profile.h"
#include "test_support.h"

namespace scanmend::learn {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::runProcess;
using testing::TempDir;
using testing::writeFile;

const std::string kBin = SCANMEND_BIN_DIR;

std::vector<std::string> wordsOf(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// A book in a working directory: pages, and a dictionary of these words.
struct Book {
  TempDir dir;
  explicit Book(const std::vector<std::string>& pages, const std::string& dictionary) {
    fs::create_directories(dir / "in");
    for (std::size_t n = 0; n < pages.size(); ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "%03zu.txt", n + 1);
      writeFile(dir / "in" / name, pages[n]);
    }
    std::string lines;
    for (const std::string& word : wordsOf(dictionary)) lines += word + "\r\n";
    writeFile(dir / "dic.txt", lines);
  }
  testing::ProcessResult learn(const std::vector<std::string>& arguments = {}) {
    return runProcess(kBin + "/scanmend-learn", arguments, dir.path());
  }
  std::vector<std::string> out() const {
    std::vector<std::string> words;
    for (const auto& entry : fs::directory_iterator(dir / "out"))
      for (std::string& word : wordsOf(readFile(entry.path()))) words.push_back(std::move(word));
    return words;
  }
};

int count(const std::vector<std::string>& words, const std::string& word) {
  return static_cast<int>(std::count_if(words.begin(), words.end(), [&](const std::string& w) {
    std::string core = w;
    while (!core.empty() && (core.back() == '.' || core.back() == ',')) core.pop_back();
    return core == word;
  }));
}

// Every s inside a word printed as the long s and read as "f".
std::string longS(const std::string& text) {
  std::string out = text;
  for (std::size_t i = 0; i + 1 < out.size(); ++i)
    if (out[i] == 's' && out[i + 1] >= 'a' && out[i + 1] <= 'z') out[i] = 'f';
  return out;
}

// A print of about 1600: "vnd", "jhm", "auff", "sey", "Liecht", "darumb"
// are its spelling, on every page.
const std::string kOldPrint =
    "Vnd Gott sprach zu jhm es sey Liecht vnd es ward Liecht.\n"
    "Vnd er sahe das Liecht vnd sprach es ist gut.\n"
    "Da giengen sie auff das Feld vnd sahen jhren Vater bey dem Brunnen.\n"
    "Vnser Vater sprach zu vns jr solt nicht fuerchten denn Gott ist bey euch.\n"
    "Vnd sie sassen vnter dem Baum vnd assen das Brot.\n"
    "Darumb sollen wir jhm dancken vnd seinen Namen loben.\n"
    "Sie sahen die Sonne auffgehen vber dem Berge.\n"
    "Vnd der Geist Gottes schwebet auff dem Wasser.\n";
const std::string kModernWords =
    "und Gott sprach zu ihm es sei Licht ward er sah das ist gut da gingen sie auf Feld sahen "
    "ihren Vater bei dem Brunnen unser uns ihr sollt nicht fuerchten denn euch sa\xDF"
    "en unter "
    "Baum a\xDF"
    "en Brot darum sollen wir danken seinen Namen loben die Sonne aufgehen \xFC"
    "ber "
    "Berge der Geist "
    "Gottes schwebt Wasser";

TEST(PeriodBooks, APrintOf1600KeepsItsSpellingAndHasItsMisreadingsMended) {
  std::vector<std::string> pages;
  for (int n = 0; n < 12; ++n) pages.push_back(n % 2 == 0 ? longS(kOldPrint) : kOldPrint);
  Book book(pages, kModernWords);
  const auto learned = book.learn();
  ASSERT_EQ(learned.exitStatus, 0) << learned.err;
  const std::vector<std::string> out = book.out();
  // The period's spelling stays as printed, on every page.
  for (const char* kept : {"vnd", "Vnd", "jhm", "auff", "sey", "bey", "vnter", "Darumb"})
    EXPECT_EQ(count(out, kept), 12 * count(wordsOf(kOldPrint), kept)) << kept;
  for (const char* modern : {"und", "Und", "ihm", "auf", "sei", "bei", "unter", "Darum"})
    EXPECT_EQ(count(out, modern), 0) << modern << " is no word of this book";
  // The long s read as "f" is mended, into the book's own spelling too.
  for (const char* mended : {"sprach", "sie", "Geist", "sassen"})
    EXPECT_EQ(count(out, mended), 12 * count(wordsOf(kOldPrint), mended)) << mended;
  EXPECT_EQ(count(out, "fey"), 0);
  EXPECT_EQ(count(out, "fprach"), 0);
}

TEST(PeriodBooks, TheMarksOcrWritesForChAreReadAsLetters) {
  const std::string page =
      "Ich habe es nicht gesehen und doch wei\xDF ich, welche Menschen durch das Dorf gingen.\n"
      "Sie sprachen noch lange mit sich selbst, auch nach dem Essen.\n";
  std::string marked = page;
  for (const auto& [from, to] :
       std::vector<std::pair<std::string, std::string>>{{"nicht", "ni<t"},
                                                        {"doch", "do<"},
                                                        {"welche", "wel<e"},
                                                        {"durch", "dur<"},
                                                        {"Menschen", "Mens<en"},
                                                        {"noch", "no<"},
                                                        {"auch", "au<"}})
    marked.replace(marked.find(from), from.size(), to);
  Book book({page, marked, page, marked, page, marked},
            "ich habe es nicht gesehen und doch wei\xDF welche Menschen durch das Dorf gingen sie "
            "sprachen noch lange mit sich selbst auch nach dem Essen");
  ASSERT_EQ(book.learn().exitStatus, 0);
  const std::vector<std::string> out = book.out();
  for (const char* word : {"nicht", "doch", "welche", "durch", "Menschen", "noch", "auch"})
    EXPECT_EQ(count(out, word), 6) << word;
  EXPECT_TRUE(std::none_of(out.begin(), out.end(),
                           [](const std::string& w) { return w.find('<') != std::string::npos; }));
}

SortedWords lexiconOf(const std::string& words) {
  std::string lines;
  for (const std::string& word : wordsOf(words)) lines += word + "\n";
  SortedWords lexicon;
  lexicon.assign(lines);
  return lexicon;
}

Profile profileOf(const std::string& rows) {
  Profile profile;
  std::string error;
  EXPECT_TRUE(parseProfile(rows, profile, error)) << error;
  return profile;
}

TEST(PeriodBooks, AWordWithThreeMisreadingsFindsItsReading) {
  const SortedWords lexicon = lexiconOf("Gesetzlichkeit Gesellschaft der die und");
  const KnownWords known(lexicon, Spelling::shipped());
  // The long s as "f", "tz" as "\xDF", "ch" as "h", each learned as a book
  // read by tesseract's deu model shows them.
  const Profile profile = profileOf("f\tother\ts\t0.5\n\xDF\tother\ttz\t0.2\nh\tother\tch\t0.1\n");
  const std::vector<BookWord> words{
      {"Gefe\xDFlihkeit", 2, {1, 2}}, {"der", 9, {1, 2}}, {"Gesetzlichkeit", 3, {2, 3}}};
  EXPECT_EQ(Decider(known, profile, words).decide("Gefe\xDFlihkeit").result, "Gesetzlichkeit");
}

TEST(PeriodBooks, AMisreadPeriodFormReadsAsThatForm) {
  const SortedWords lexicon = lexiconOf("sein Kreuz der und");
  KnownWords known(lexicon, Spelling::shipped());
  // A book that writes "ey" for "ei", "C" for "K" and "tz" for "z" as its
  // own spelling, and whose OCR reads the long s as "f" and "tz" as "\xDF".
  std::vector<double> weights(known.spelling().rules().size(), 0.0);
  for (std::size_t r = 0; r < weights.size(); ++r) {
    const SpellingRule& rule = known.spelling().rules()[r];
    if ((rule.historical == "ey" && rule.modern == "ei") ||
        (rule.historical == "C" && rule.modern == "K") ||
        (rule.historical == "tz" && rule.modern == "z"))
      weights[r] = 0.9;
  }
  known.weighRules(weights);
  const Profile profile = profileOf("f\tother\ts\t0.5\n\xDF\tend\ttz\t0.3\n");
  const std::vector<BookWord> words{
      {"feyn", 3, {1, 2}}, {"Creu\xDF", 2, {1, 2}}, {"der", 9, {1, 2}}};
  const Decider decider(known, profile, words);
  // Neither "seyn" nor "Creutz" is printed right anywhere in the book.
  EXPECT_EQ(decider.decide("feyn").result, "seyn");
  EXPECT_EQ(decider.decide("Creu\xDF").result, "Creutz");
}

TEST(PeriodBooks, ATenPageBookStartsFromWhatTheOcrUsuallyMisreads) {
  // Too few misreadings to learn any from: "fie" once for "sie", "ift"
  // once for "ist", "<" once for "ch".
  std::vector<std::string> pages;
  const std::string page = "Er sagt, sie ist nicht hier, und ich weiss es auch nicht.\n";
  for (int n = 0; n < 10; ++n) pages.push_back(page);
  pages[2] = "Er sagt, fie ist nicht hier, und ich weiss es auch nicht.\n";
  pages[5] = "Er sagt, sie ift nicht hier, und i< weiss es auch nicht.\n";
  Book book(pages, "er sagt sie ist nicht hier und ich weiss es auch");
  ASSERT_EQ(book.learn().exitStatus, 0);
  EXPECT_EQ(readFile(book.dir / "out" / "003.txt"),
            "Er sagt, sie ist nicht hier, und ich weiss es auch nicht.\r\n");
  EXPECT_EQ(readFile(book.dir / "out" / "006.txt"),
            "Er sagt, sie ist nicht hier, und ich weiss es auch nicht.\r\n");
  // From the book alone, with a prior that knows nothing, none of it is
  // mended: the book shows each misreading too seldom.
  writeFile(book.dir / "nothing.tsv", "");
  ASSERT_EQ(book.learn({"--prior", "nothing.tsv"}).exitStatus, 0);
  EXPECT_EQ(readFile(book.dir / "out" / "003.txt"),
            "Er sagt, fie ist nicht hier, und ich weiss es auch nicht.\r\n");
}

TEST(PeriodBooks, ACompoundIsOfWordsOfSubstance) {
  const SortedWords lexicon =
      lexiconOf("der zeihen verzeihen Pro jetzt Projekt erfolglos sind find Haus besitzer");
  const KnownWords known(lexicon, Spelling::shipped());
  using Why = KnownWord::Why;
  for (const char* word : {"derzeihen", "Projetzt", "dezahlen"})
    EXPECT_EQ(known.of(word).why, Why::Unknown) << word;
  EXPECT_EQ(known.of("Hausbesitzer").why, Why::Compound);
  // "d" read for "v": "derzeihen" is "verzeihen".
  const Profile profile = profileOf("d\tother\tv\t0.05\n");
  const std::vector<BookWord> words{{"derzeihen", 1, {1}}, {"der", 20, {1}}};
  EXPECT_EQ(Decider(known, profile, words).decide("derzeihen").result, "verzeihen");
}

TEST(PeriodBooks, AHyphenReadAsALetterAtALineEndIsJoined) {
  Book book({"Es war kein Mans\ngel an Brot, und der Offi!\nzier sah es.\n"},
            "es war kein Mangel an Brot und der Offizier sah Mann");
  writeFile(book.dir / "empty.tsv", "");
  ASSERT_EQ(book.learn({"--profile", "empty.tsv"}).exitStatus, 0);
  EXPECT_EQ(readFile(book.dir / "out" / "001.txt"),
            "Es war kein Man-\r\ngel an Brot, und der Offi-\r\nzier sah es.\r\n");
}

TEST(PeriodBooks, AForeignSentenceStaysAsRead) {
  // "o" read for "a" and "e" read for "a" would make German words of
  // French ones.
  Book book({"Er sagte: oui, les enfants sont ici, und ging.\nDann sagte er: man las es.\n"},
            "er sagte und ging dann man las es sand");
  writeFile(book.dir / "mine.tsv", "o\tother\ta\t0.3\ne\tother\ta\t0.3\n");
  ASSERT_EQ(book.learn({"--profile", "mine.tsv"}).exitStatus, 0);
  const std::string out = readFile(book.dir / "out" / "001.txt");
  EXPECT_NE(out.find("oui, les enfants sont ici"), std::string::npos) << out;
}

TEST(PeriodBooks, AMisreadingCopiedOnEveryPageIsStillMended) {
  const std::string page =
      "Er hat es gemaht, und solher Dinge gibt es niht viele, doch er hat es gemacht.\n";
  const std::string truth =
      "Er hat es gemacht, und solcher Dinge gibt es nicht viele, doch er hat es gemacht.\r\n";
  std::vector<std::string> pages(10, page);
  Book book(pages, "er hat es gemacht und solcher Dinge gibt nicht viele doch");
  ASSERT_EQ(book.learn().exitStatus, 0);
  for (int n = 1; n <= 10; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.txt", n);
    EXPECT_EQ(readFile(book.dir / "out" / name), truth) << name;
  }
}

}  // namespace
}  // namespace scanmend::learn
