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
#include "advise/report.h"
#include "files/text_files.h"
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
  return adviseArguments(bookOfPages(pages), dictionary);
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
  for (const UnknownWord& word : advice.unknown) EXPECT_EQ(word.text.find('\x84'), std::string::npos);
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

INSTANTIATE_TEST_SUITE_P(
    Cases, AdvisorFailure,
    ::testing::Values(FailureCase{{}, false, true, 1, "cannot read dic.txt"},
                      FailureCase{{"--args-only"}, true, false, 1, "in/001.txt cannot be read"},
                      FailureCase{{"--help"}, false, false, 0, "Usage: scanmend-advise"},
                      FailureCase{{"--verbose"}, true, true, 2, "unknown argument '--verbose'"}));

}  // namespace
}  // namespace scanmend::advise
