// Micro-benchmarks of the hot operations, on synthetic data built here.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "correction/line_joining.h"
#include "correction/page_correction.h"
#include "correction/phrase_repairs.h"
#include "correction/word_correction.h"

namespace scanmend {
namespace {

std::vector<std::string> syntheticWords(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  const std::string letters = "abdefghiklmnorstuvwz";
  std::vector<std::string> words;
  for (std::size_t i = 0; i < count; ++i) {
    std::string word(4 + random() % 9, ' ');
    for (char& c : word) c = letters[random() % letters.size()];
    words.push_back(word);
  }
  return words;
}

std::string lines(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += word + "\r\n";
  return text;
}

struct Setup {
  explicit Setup(std::vector<std::string> arguments, std::size_t dictionaryWords = 400000)
      : words(syntheticWords(dictionaryWords, 1)), tables(parseArguments(arguments)) {
    std::string extra;
    for (int i = 0; i < 100; ++i) extra += std::string(200, "nu"[i % 2]) + "\r\n";
    extra += std::string(100, 'u') + std::string(100, 'n') + "\r\n";
    dictionary.assign(lines(words) + extra, readingFold(confusionTable));
  }
  std::vector<std::string> words;
  RunTables tables;
  ConfusionTable& confusionTable = tables.confusionTable;
  OptionSet& optionSet = tables.optionSet;
  Dictionary dictionary;
  RunStats runStats;
  UnknownWordCounts unknownWordCounts;
  CorrectionContext context{confusionTable, optionSet, dictionary, runStats, unknownWordCounts};
};

const std::vector<std::string> kArguments{"Ufs", "Bnu",    "Bov",    "BBV", "UEC",
                                          "I",   "german", "finals", "="};

std::string bookText(const std::vector<std::string>& words, std::size_t bytes) {
  std::mt19937 random(9);
  std::string text;
  std::size_t lineLength = 0;
  while (text.size() < bytes) {
    const std::string& word = words[random() % 2000];
    text += word;
    lineLength += word.size() + 1;
    if (lineLength > 60) {
      text += random() % 12 == 0 ? "=\n" : "\n";
      lineLength = 0;
    } else {
      text += random() % 50 == 0 ? " a*s dem " : " ";
    }
  }
  return text;
}

void DictionaryLookup(benchmark::State& state) {
  static Setup setup(kArguments);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(containsWord(setup.dictionary, setup.words[i]));
    i = (i + 7919) % setup.words.size();
  }
}
BENCHMARK(DictionaryLookup);

void CorrectTypicalWord(benchmark::State& state) {
  static Setup setup(kArguments);
  for (auto _ : state) benchmark::DoNotOptimize(correctWord("Verfaffnng", setup.context));
}
BENCHMARK(CorrectTypicalWord);

void Correct200LetterWord(benchmark::State& state) {
  static Setup setup(kArguments);
  std::string word;
  for (int i = 0; i < 200; ++i) word += "nu"[i % 3 == 0];
  for (auto _ : state) benchmark::DoNotOptimize(correctWord(word, setup.context));
}
BENCHMARK(Correct200LetterWord);

void CorrectPage10MB(benchmark::State& state) {
  static Setup setup(kArguments);
  const std::string page = bookText(setup.words, 10u << 20);
  for (auto _ : state) benchmark::DoNotOptimize(correctPage(page, setup.context));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(CorrectPage10MB)->Unit(benchmark::kMillisecond);

void JoinLines10MB(benchmark::State& state) {
  const std::string page = bookText(syntheticWords(2000, 2), 10u << 20);
  for (auto _ : state) benchmark::DoNotOptimize(joinHyphenatedLines(page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(JoinLines10MB)->Unit(benchmark::kMillisecond);

void RepairPhrases10MB(benchmark::State& state) {
  const std::string page = bookText(syntheticWords(2000, 2), 10u << 20);
  for (auto _ : state) benchmark::DoNotOptimize(repairPhrases(page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(RepairPhrases10MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scanmend

BENCHMARK_MAIN();
