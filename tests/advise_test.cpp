// The advisor on books made with known misreadings: what it proposes, what
// it leaves out, the statistics it predicts, and how its words reach a
// shell.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

#include "advise/advice.h"
#include "advise/advise_run.h"
#include "advise/directory_checks.h"
#include "advise/report.h"
#include "base/letters.h"
#include "dictionary/sorted_words.h"
#include "files/text_files.h"
#include "profile/known_words.h"
#include "profile/spelling.h"
#include "test_support.h"

namespace scanmend::advise {
namespace {

using testing::readFile;
using testing::runProcess;
using testing::TempDir;
using testing::writeFile;

// The sample's dictionary: old-spelling prose words.
std::vector<std::string> sampleWords() {
  std::string bytes;
  EXPECT_TRUE(readFileBytes(SCANMEND_EXAMPLES "/dic.txt", bytes));
  decodeText(bytes);
  std::vector<std::string> words;
  std::istringstream lines(bytes);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) words.push_back(line);
  return words;
}

struct Misreading {
  char truth;
  char scanned;
  double rate;
};

// Pages of text from `vocabulary`, some words far more frequent than
// others, sentences starting with a capital, about 8% of the lines ending
// in a word broken with "=", and the misreadings injected at their rates.
std::vector<std::string> makePages(const std::vector<std::string>& vocabulary,
                                   const std::vector<Misreading>& misreadings, int pages,
                                   unsigned seed = 1) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<std::string> result;
  bool sentenceStart = true;
  for (int page = 0; page < pages; ++page) {
    std::string text;
    std::string line;
    for (int w = 0; w < 250; ++w) {
      const auto rank =
          static_cast<std::size_t>(std::pow(static_cast<double>(vocabulary.size()), unit(random)));
      std::string word = vocabulary[std::min(rank, vocabulary.size()) - 1];
      if (sentenceStart && word[0] >= 'a' && word[0] <= 'z')
        word[0] = static_cast<char>(word[0] - 32);
      for (std::size_t i = 0; i < word.size(); ++i)
        for (const Misreading& m : misreadings)
          if (word[i] == m.truth && i + 1 < word.size() && unit(random) < m.rate) {
            word[i] = m.scanned;
            break;
          }
      sentenceStart = unit(random) < 0.1;
      const std::string piece = word + (sentenceStart ? ". " : " ");
      if (line.size() + piece.size() > 60) {
        if (word.size() > 5 && unit(random) < 0.16) {
          text += line + word.substr(0, 3) + "=\n";
          line = word.substr(3) + (sentenceStart ? ". " : " ");
          continue;
        }
        text += line + "\n";
        line.clear();
      }
      line += piece;
    }
    result.push_back(text + line + "\n");
  }
  return result;
}

Advice advise(const std::vector<std::string>& dictionaryWords,
              const std::vector<std::string>& pages) {
  Dictionary dictionary;
  dictionary.assign(testing::wordLines(dictionaryWords), identityFold(), ReadingSearch::PrefixWalk);
  SortedWords lexicon;
  lexicon.assign(testing::wordLines(dictionaryWords));
  const KnownWords known(lexicon, Spelling::shipped());
  return adviseArguments(bookOfPages(pages), dictionary, known);
}

bool offers(const Advice& advice, const std::string& word) {
  return std::find(advice.dictionaryWords.begin(), advice.dictionaryWords.end(), word) !=
         advice.dictionaryWords.end();
}

bool proposes(const Advice& advice, const std::string& word) {
  return std::find(advice.arguments.begin(), advice.arguments.end(), word) !=
         advice.arguments.end();
}

bool declaresAnyConfusion(const Advice& advice) {
  return std::any_of(advice.arguments.begin(), advice.arguments.end(), [](const std::string& w) {
    return w == "I" || (w.size() == 3 && (w[0] == 'U' || w[0] == 'B'));
  });
}

TEST(Advice, FindsTheLongSAndNothingElse) {
  const std::vector<std::string> words = sampleWords();
  const Advice advice = advise(words, makePages(words, {{'s', 'f', 0.8}}, 30));
  EXPECT_TRUE(proposes(advice, "Ufs"));
  EXPECT_TRUE(proposes(advice, "finals"));
  EXPECT_TRUE(proposes(advice, "="));
  for (const std::string& word : advice.arguments)
    EXPECT_TRUE(word == "Ufs" || word == "Bfs" || word == "finals" || word == "german" ||
                word == "=")
        << word;
}

TEST(Advice, DeclaresNoConfusionForABookWithoutMisreadings) {
  // The pitfall of the example line: on pages whose long s is already
  // right, "Ufs" only makes correct words ambiguous.
  const std::vector<std::string> words = sampleWords();
  std::vector<std::string> pages = makePages(words, {}, 30);
  pages[0] += "\x84Reinhold\x93 und Reinhold.\n";  // OCR quotation marks stick to words
  const Advice advice = advise(words, pages);
  EXPECT_FALSE(declaresAnyConfusion(advice)) << formatArgumentsLine(advice);
  ASSERT_FALSE(advice.unknown.empty());
  EXPECT_EQ(advice.unknown[0].text, "Reinhold");
  for (const UnknownWord& word : advice.unknown)
    EXPECT_EQ(word.text.find('\x84'), std::string::npos);
}

TEST(Advice, CapitalisedFormsAreNoMisreading) {
  // Only "die", "der", "das" are listed, and "wie", "wer", "was" too: a
  // capital D that "may be w" would seem to resolve every sentence start.
  std::vector<std::string> words = sampleWords();
  std::erase_if(words, [](const std::string& w) { return w == "Die" || w == "Der" || w == "Das"; });
  for (const char* word : {"wie", "wer", "was", "wen"}) words.push_back(word);
  std::vector<std::string> pages = makePages(words, {}, 20);
  for (std::string& page : pages) page += "Die Sonne. Der Wald. Das Haus. Die B\xE4ume.\n";
  const Advice advice = advise(words, pages);
  EXPECT_FALSE(declaresAnyConfusion(advice)) << formatArgumentsLine(advice);
  EXPECT_TRUE(std::any_of(advice.capitalised.begin(), advice.capitalised.end(),
                          [](const BookWord& word) { return word.text == "Die"; }));
}

TEST(Advice, UmlautMisreadingIsDeclaredInWindows1252) {
  const std::vector<std::string> words = sampleWords();
  const Advice advice = advise(words, makePages(words, {{'\xE4', 'a', 0.9}}, 40));
  EXPECT_TRUE(proposes(advice, "Ua\xE4")) << formatArgumentsLine(advice);
}

// Pages that repeat `line` `times` times, one line each.
std::string repeated(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line + "\n";
  return text;
}

// Expects no word offered for the dictionary to be listed already, and
// none but the capitalised forms and `names` to be a misreading, as the
// pages were made, of a listed word, of its capitalised form or of a name.
void expectNoMisreadingOffered(const Advice& advice, std::vector<std::string> words,
                               const std::vector<Misreading>& misreadings,
                               const std::vector<std::string>& names = {}) {
  Dictionary dictionary;
  dictionary.assign(testing::wordLines(words));
  words.insert(words.end(), names.begin(), names.end());
  Dictionary withNames;
  withNames.assign(testing::wordLines(words));
  const auto isWord = [&](std::string word) {
    if (withNames.contains(word)) return true;
    word[0] = static_cast<char>(smallLetterOf(static_cast<unsigned char>(word[0])));
    return withNames.contains(word);
  };
  for (const std::string& word : advice.dictionaryWords) {
    EXPECT_FALSE(dictionary.contains(word)) << word;
    if (isWord(word)) continue;  // a sentence start, a name
    for (const Misreading& m : misreadings)
      for (std::size_t k = 0; k < word.size(); ++k) {
        if (word[k] != m.scanned) continue;
        std::string truth = word;
        truth[k] = m.truth;
        EXPECT_FALSE(isWord(truth)) << word << " is a misreading of " << truth;
      }
  }
}

TEST(Advice, ProposesForTheDictionaryNoWordThatAMisreadingExplains) {
  std::vector<std::string> words = sampleWords();
  words.push_back("Zeit");
  const std::vector<Misreading> misreadings{{'s', 'f', 0.7}, {'n', 'u', 0.1}};
  std::vector<std::string> pages = makePages(words, misreadings, 40, 7);
  // Names the dictionary lacks, one misread as the book misreads s; and a
  // misreading of a dictionary word that the evidence cannot know.
  pages[0] += repeated("Reinhold kam mit Sigismund und Sigifmund.", 6);
  pages[1] += repeated("Die Zeit verging.", 12) + repeated("Die Jeit verging.", 4);
  const Advice advice = advise(words, pages);
  expectNoMisreadingOffered(advice, words, misreadings, {"Sigismund"});
  EXPECT_TRUE(offers(advice, "Reinhold"));
  EXPECT_TRUE(offers(advice, "Sigismund"));
  EXPECT_FALSE(offers(advice, "Sigifmund"));
  EXPECT_FALSE(offers(advice, "Jeit"));
  const auto jeit = std::find_if(advice.unknown.begin(), advice.unknown.end(),
                                 [](const UnknownWord& w) { return w.text == "Jeit"; });
  ASSERT_NE(jeit, advice.unknown.end());
  EXPECT_EQ(jeit->likely, "Zeit");
}

TEST(Advice, OffersNoCapitalThatTheBookMisreads) {
  std::vector<std::string> words = sampleWords();
  for (const char* word : {"Vater", "Volk", "Kirche", "Gott", "Garten", "Kinder", "Gesicht",
                           "Vetter", "Kaiser", "Geld", "Vogel", "Karl"})
    words.push_back(word);
  // V read as D, K as R, G as b, and the long s as f: "Dater", "Rirche",
  // "bott", "Sufanne"; the names are the book's own and seen often.
  const std::vector<Misreading> misreadings{
      {'V', 'D', 0.4}, {'K', 'R', 0.4}, {'G', 'b', 0.4}, {'s', 'f', 0.6}};
  std::vector<std::string> pages = makePages(words, misreadings, 40, 11);
  const std::vector<std::string> names{"Gottfried", "Susanne", "Viktor"};
  pages[2] += repeated("Gottfried sah Susanne und Viktor.", 4) +
              repeated("bottfried sah Sufanne und Diktor.", 3) +
              repeated("Der Vater und der Dater gingen in die Kirche und die Rirche.", 3);
  const Advice advice = advise(words, pages);
  expectNoMisreadingOffered(advice, words, misreadings, names);
  for (const char* misread : {"Dater", "Rirche", "bottfried", "Sufanne", "Diktor"})
    EXPECT_FALSE(offers(advice, misread)) << misread;
  for (const std::string& name : names) EXPECT_TRUE(offers(advice, name)) << name;
}

// A capital that the book misreads as its small letter: listing the
// capitalised form would make the small word, right as it reads, a "*".
TEST(Advice, OffersNoWordThatWouldMakeACorrectWordAmbiguous) {
  std::vector<std::string> words = sampleWords();
  std::erase(words, "Hier");  // only "hier" is listed
  std::vector<std::string> pages = makePages(words, {{'s', 'f', 0.7}}, 30, 4);
  pages[0] += repeated("Hier war es.", 5);
  EXPECT_TRUE(offers(advise(words, pages), "Hier"));
  // The run declares the long s read as "f": once "Lust" is listed, every
  // "Luft" that the book reads right would read as "Luft" and "Lust".
  pages[0] += repeated("Die Luft war kalt, und Lust hatte er nicht.", 5);
  const Advice advice = advise(words, pages);
  ASSERT_TRUE(proposes(advice, "Ufs")) << formatArgumentsLine(advice);
  EXPECT_FALSE(offers(advice, "Lust"));
}

TEST(Advice, ProposesNoClassThatOnlyChangesALettersCaseOrThePeriodsSpelling) {
  std::vector<std::string> words = sampleWords();
  // The book prints "Hier" where the dictionary has "hier", and "y" where
  // the spelling of 1901 has "i": both are the book's own.
  const std::vector<std::string> pages = makePages(words, {{'H', 'h', 0.5}, {'i', 'y', 0.6}}, 30, 4);
  const Advice advice = advise(words, pages);
  EXPECT_FALSE(proposes(advice, "UhH")) << formatArgumentsLine(advice);
  EXPECT_FALSE(proposes(advice, "Uyi")) << formatArgumentsLine(advice);
  const auto reasonFor = [&](const std::string& word) {
    const auto left = std::find_if(advice.leftOut.begin(), advice.leftOut.end(),
                                   [&](const LeftOut& l) { return l.word == word; });
    return left == advice.leftOut.end() ? std::string() : left->reason;
  };
  EXPECT_NE(reasonFor("UhH").find("only changes a letter's case"), std::string::npos);
  // The words with "y" are no evidence at all: the report names them as
  // the period's spellings.
  EXPECT_TRUE(std::any_of(advice.unknown.begin(), advice.unknown.end(),
                          [](const UnknownWord& w) { return !w.spellingOf.empty(); }));
}

TEST(Advice, SaysThatALetterHasOneClass) {
  const std::vector<std::string> words = sampleWords();
  const Advice advice = advise(words, makePages(words, {{'s', 'f', 0.8}, {'h', 'f', 0.5}}, 40, 2));
  ASSERT_TRUE(proposes(advice, "Ufs")) << formatArgumentsLine(advice);
  const auto ufh = std::find_if(advice.leftOut.begin(), advice.leftOut.end(),
                                [](const LeftOut& left) { return left.word == "Ufh"; });
  ASSERT_NE(ufh, advice.leftOut.end());
  EXPECT_NE(ufh->reason.find("a letter has one class, and f has its class from Ufs"),
            std::string::npos)
      << ufh->reason;
  EXPECT_NE(ufh->reason.find("alone Ufh would resolve"), std::string::npos) << ufh->reason;
}

TEST(Report, ShowsWindows1252AsUtf8AndWordsAsShellWords) {
  EXPECT_EQ(toUtf8("\xE4\xDF\x80\x84\x93x\x01"),
            "\xC3\xA4\xC3\x9F\xE2\x82\xAC\xE2\x80\x9E\xE2\x80\x9Cx\\x01");
  EXPECT_EQ(shellWord("Ufs"), "Ufs");
  EXPECT_EQ(shellWord("="), "=");
  EXPECT_EQ(shellWord("Ua\xE4"), "$'Ua\\xE4'");
  EXPECT_EQ(shellWord("U's"), "$'U\\'s'");
  EXPECT_EQ(shellWord("U*s"), "$'U*s'");
}

// The five numbers of a statistics block, from "Total words:" on.
std::vector<long long> statisticsIn(const std::string& console) {
  std::vector<long long> numbers;
  std::size_t at = console.find("Total words:");
  for (int line = 0; line < 5 && at != std::string::npos; ++line) {
    const std::size_t colon = console.find(':', at);
    numbers.push_back(std::stoll(console.substr(colon + 1)));
    at = console.find('\n', colon);
  }
  return numbers;
}

class AdvisorRun : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir_ / "in"); }
  void writeBook(const std::vector<std::string>& dictionary,
                 const std::vector<std::string>& pages) {
    writeFile(dir_ / "dic.txt", testing::wordLines(dictionary));
    for (std::size_t n = 0; n < pages.size(); ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "in/%03zu.txt", n + 1);
      writeFile(dir_ / name, pages[n]);
    }
  }
  // Runs a command line through bash in the book's directory.
  testing::ProcessResult shell(const std::string& command) {
    return runProcess("/bin/bash", {"-c", command}, dir_.path());
  }

  // The advice's statistics are those that scanmend prints for the
  // advised words; the words reach scanmend through a real shell, both as
  // $(scanmend-advise --args-only) and as the command line of the report.
  void expectPredictionHolds() {
    const std::string advise = SCANMEND_ADVISE_BINARY;
    const std::string scanmend = SCANMEND_BINARY;
    const testing::ProcessResult report = shell("'" + advise + "' 2>/dev/null");
    ASSERT_EQ(report.exitStatus, 0);
    const std::vector<long long> predicted = statisticsIn(report.out);
    ASSERT_EQ(predicted.size(), 5u) << report.out;

    const testing::ProcessResult direct =
        shell("args=$('" + advise + "' --args-only) && '" + scanmend + "' $args");
    EXPECT_EQ(statisticsIn(direct.out), predicted) << direct.out;

    const std::size_t line = report.out.find("    scanmend ");
    ASSERT_NE(line, std::string::npos);
    const std::string command = report.out.substr(line + 4, report.out.find('\n', line) - line - 4);
    const testing::ProcessResult pasted =
        shell("scanmend() { '" + scanmend + "' \"$@\"; }; " + command);
    EXPECT_EQ(statisticsIn(pasted.out), predicted) << command;
  }
  TempDir dir_;
};

TEST_F(AdvisorRun, PredictsTheStatisticsOfTheSample) {
  std::filesystem::remove_all(dir_.path());
  std::filesystem::copy(SCANMEND_EXAMPLES, dir_.path(), std::filesystem::copy_options::recursive);
  expectPredictionHolds();
}

TEST_F(AdvisorRun, PredictsTheStatisticsOfAGeneratedBookWithAnUmlautMisreading) {
  const std::vector<std::string> words = sampleWords();
  std::vector<std::string> pages =
      makePages(words, {{'s', 'f', 0.7}, {'\xE4', 'a', 0.9}, {'n', 'u', 0.05}}, 40, 3);
  for (std::string& page : pages) {  // CR LF on disk, as OCR pages come
    std::string crlf;
    for (const char c : page) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    page = crlf;
  }
  writeBook(words, pages);
  const testing::ProcessResult words1252 =
      runProcess(SCANMEND_ADVISE_BINARY, {"--args-only"}, dir_.path());
  EXPECT_NE(words1252.out.find("Ua\xE4"), std::string::npos) << words1252.out;
  const testing::ProcessResult report = runProcess(SCANMEND_ADVISE_BINARY, {}, dir_.path());
  EXPECT_NE(report.out.find("$'Ua\\xE4'"), std::string::npos);
  expectPredictionHolds();
}

struct FailureCase {
  std::vector<std::string> arguments;
  bool dictionary;
  bool page;
  int exitStatus;
  std::string message;  // in standard error, or standard output for --help
};

class AdvisorFailure : public AdvisorRun, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(AdvisorFailure, SaysWhatIsWrong) {
  const FailureCase& c = GetParam();
  if (c.dictionary) writeFile(dir_ / "dic.txt", "Haus\n");
  if (c.page) writeFile(dir_ / "in/001.txt", "Haus\n");
  const testing::ProcessResult result =
      runProcess(SCANMEND_ADVISE_BINARY, c.arguments, dir_.path());
  EXPECT_EQ(result.exitStatus, c.exitStatus);
  EXPECT_NE((result.err + result.out).find(c.message), std::string::npos) << result.err;
  if (c.exitStatus != 0) {
    EXPECT_EQ(result.out, "");
  }
}

// What a user gets wrong in the working directory is named, with its fix;
// a directory without mistakes gets no "Check first".
struct DirectoryCase {
  std::string name;
  std::string dictionary;
  std::vector<std::pair<std::string, std::string>> pages;  // name in in/, contents
  bool out;
  std::vector<std::string> findings;
};

class DirectoryChecks : public AdvisorRun, public ::testing::WithParamInterface<DirectoryCase> {};

TEST_P(DirectoryChecks, NameTheMistakeAndItsFix) {
  const DirectoryCase& c = GetParam();
  writeFile(dir_ / "dic.txt", c.dictionary);
  for (const auto& [name, text] : c.pages) writeFile(dir_ / "in" / name, text);
  if (c.out) std::filesystem::create_directory(dir_ / "out");
  const testing::ProcessResult report = runProcess(SCANMEND_ADVISE_BINARY, {}, dir_.path());
  ASSERT_EQ(report.exitStatus, 0) << report.err;
  EXPECT_EQ(report.out.find("Check first:") != std::string::npos, !c.findings.empty())
      << report.out;
  for (const std::string& finding : c.findings)
    EXPECT_NE(report.out.find(finding), std::string::npos) << c.name << "\n" << report.out;
  // With --args-only the findings go to standard error.
  const testing::ProcessResult args =
      runProcess(SCANMEND_ADVISE_BINARY, {"--args-only"}, dir_.path());
  for (const std::string& finding : c.findings)
    EXPECT_NE(args.err.find(finding), std::string::npos) << c.name;
}

const std::string kPage = "Das Haus ist alt.\r\n";
const std::string kWords = "Das\r\nHaus\r\nist\r\nalt\r\n";

INSTANTIATE_TEST_SUITE_P(
    Mistakes, DirectoryChecks,
    ::testing::Values(
        DirectoryCase{"none", kWords, {{"001.txt", kPage}}, true, {}},
        DirectoryCase{"UTF-8 dictionary",
                      kWords + "H\xC3\xA4user\r\nT\xC3\xBCr\r\nGr\xC3\xB6\xC3\x9F"
                               "e\r\n",
                      {{"001.txt", kPage}},
                      true,
                      {"dic.txt is UTF-8", "iconv -f UTF-8 -t WINDOWS-1252//TRANSLIT dic.txt"}},
        DirectoryCase{"UTF-8 page",
                      kWords,
                      {{"001.txt",
                        "H\xC3\xA4user, T\xC3\xBCr, Gr\xC3\xB6\xC3\x9F"
                        "e\r\n"}},
                      true,
                      {"in/001.txt and maybe other pages are UTF-8", "iconv"}},
        DirectoryCase{"Windows-1252 umlauts are no UTF-8",
                      kWords + "H\xE4user\r\nT\xFCr\r\n",
                      {{"001.txt",
                        "H\xE4user, T\xFCr, Gr\xF6\xDF"
                        "e\r\n"}},
                      true,
                      {}},
        DirectoryCase{
            "gap",
            kWords,
            {{"001.txt", kPage}, {"002.txt", kPage}, {"004.txt", kPage}, {"005.txt", kPage}},
            true,
            {"in/003.txt is missing", "in/004.txt and 1 pages after it are never read"}},
        DirectoryCase{"other names",
                      kWords,
                      {{"001.txt", kPage}, {"0002.txt", kPage}, {"page-003.txt", kPage}},
                      true,
                      {"2 files in in/ a run never reads (0002.txt, page-003.txt)"}},
        DirectoryCase{"no out",
                      kWords,
                      {{"001.txt", kPage}},
                      false,
                      {"there is no directory out/", "mkdir out"}},
        DirectoryCase{"last line without line end",
                      kWords + "Baum",
                      {{"001.txt", kPage}},
                      true,
                      {"the last line of dic.txt (\"Baum\") has no line end"}},
        DirectoryCase{"Ctrl-Z",
                      kWords + "\x1A"
                               "Baum\r\n",
                      {{"001.txt", kPage}},
                      true,
                      {"dic.txt holds a Ctrl-Z byte"}}));

// The words come one per line, ended as dic.txt ends its lines, after a
// line end where dic.txt's last line has none: appended, every one is read.
TEST(DictionaryLines, AppendToAnyDictionarySoThatEveryWordIsRead) {
  EXPECT_EQ(dictionaryLines({"Reinhold", "Die"}, dictionaryEndingOf("Haus\r\nBaum\r\n")),
            "Reinhold\r\nDie\r\n");
  EXPECT_EQ(dictionaryLines({"Reinhold"}, dictionaryEndingOf("Haus\nBaum\n")), "Reinhold\n");
  EXPECT_EQ(dictionaryLines({"Reinhold"}, dictionaryEndingOf("Haus\r\nBaum")), "\r\nReinhold\r\n");
  EXPECT_EQ(dictionaryLines({"Reinhold"}, dictionaryEndingOf("")), "Reinhold\n");
  EXPECT_EQ(dictionaryLines({}, dictionaryEndingOf("Haus")), "");
  for (const std::string dictionary : {"Haus\r\nBaum\r\n", "Haus\nBaum", "Haus\r\nBaum"}) {
    Dictionary appended;
    appended.assign(dictionary +
                    dictionaryLines({"Reinhold", "Die"}, dictionaryEndingOf(dictionary)));
    EXPECT_TRUE(appended.contains("Reinhold") && appended.contains("Die")) << dictionary;
  }
}

TEST_F(AdvisorRun, DictionaryWordsAppendedByTheShellAreRead) {
  const std::vector<std::string> words = sampleWords();
  std::vector<std::string> pages = makePages(words, {{'s', 'f', 0.7}}, 20, 5);
  pages[0] += repeated("Reinhold kam.", 5);
  writeBook(words, pages);
  writeFile(dir_ / "dic.txt", readFile(dir_ / "dic.txt") + "Baum");  // no line end
  const testing::ProcessResult added =
      shell("'" SCANMEND_ADVISE_BINARY "' --dictionary-words >> dic.txt");
  ASSERT_EQ(added.exitStatus, 0);
  EXPECT_NE(added.err.find("has no line end"), std::string::npos);
  std::string bytes = readFile(dir_ / "dic.txt");
  Dictionary dictionary;
  dictionary.assign(bytes);
  EXPECT_TRUE(dictionary.contains("Baum"));
  EXPECT_TRUE(dictionary.contains("Reinhold"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdvisorFailure,
    ::testing::Values(FailureCase{{}, false, true, 1, "cannot read dic.txt"},
                      FailureCase{{"--args-only"}, true, false, 1, "in/001.txt cannot be read"},
                      FailureCase{{"--help"}, false, false, 0, "Usage: scanmend-advise"},
                      FailureCase{{"--version"}, false, false, 0, "scanmend-advise 0."},
                      FailureCase{{"--args-only", "--dictionary-words"},
                                  true,
                                  true,
                                  2,
                                  "unknown argument '--dictionary-words'"},
                      FailureCase{{"--verbose"}, true, true, 2, "unknown argument '--verbose'"}));

}  // namespace
}  // namespace scanmend::advise
