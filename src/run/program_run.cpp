#include "run/program_run.h"

#include <cstdint>
#include <cstdio>

#include "correction/options.h"
#include "correction/page_correction.h"
#include "correction/word_correction.h"
#include "dictionary/dictionary.h"
#include "files/text_files.h"
#include "files/unknown_words.h"

namespace scanmend {
namespace {

std::string outputPagePath(const std::string& baseDirectory, std::int64_t pageNumber) {
  char number[32];
  std::snprintf(number, sizeof number, "%03lld", static_cast<long long>(pageNumber));
  return baseDirectory + "/out/" + number + ".txt";
}

}  // namespace

void printStatistics(const RunStats& stats, std::ostream& console) {
  console << "\r\nStats:\r\n\r\n";
  console << "Total words:                  " << stats.totalWords << "\r\n";
  console << "Correct words left unchanged: " << stats.correctUnchanged << "\r\n";
  console << "Changed incorrect words:      " << stats.changedIncorrect << "\r\n";
  console << "Ambiguous words:              " << stats.ambiguousWords << "\r\n";
  console << "Unknown words:                " << stats.unknownWords << "\r\n";
  console << "\r\n";
  console.flush();
}

int runScanmend(const std::vector<std::string>& arguments, std::ostream& console) {
  console << "Starting scanmend 0.5\r\n\r\n";

  // All confusion arguments first, so that "I" decides the classes of I
  // and J wherever it stands.
  ConfusionTable confusionTable;
  OptionSet optionSet;
  parseConfusionArguments(arguments, confusionTable);
  parseOptionWords(arguments, optionSet, confusionTable);

  RunStats runStats;
  UnknownWordCounts unknownWordCounts;
  const std::string baseDirectory = ".";

  Dictionary dictionary;
  if (!loadDictionary(dictionary, "dic.txt", console, readingFold(confusionTable))) return 1;

  // Frequent words are decided once. A prefix walk costs more than a probe
  // of the folded runs, so there the cache holds a book's whole vocabulary.
  OutcomeCache outcomeCache(dictionary.walksPrefixes() ? 1 << 17 : 1 << 14);
  CorrectionContext context{confusionTable, optionSet,         dictionary,
                            runStats,       unknownWordCounts, &outcomeCache};
  std::string page;
  for (std::int64_t pageNumber = 1; readPage(page, pageNumber, console); ++pageNumber) {
    page = correctPage(std::move(page), context);
    writeTextFile(page, outputPagePath(baseDirectory, pageNumber), console);
    page.clear();
  }

  writeUnknownWordReport(baseDirectory, unknownWordCounts, console);
  printStatistics(runStats, console);
  return 0;
}

}  // namespace scanmend
