#include "run/program_run.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "correction/options.h"
#include "correction/page_correction.h"
#include "correction/unknown_words.h"
#include "correction/word_correction.h"
#include "dictionary/dictionary.h"
#include "files/text_files.h"
#include "run/run_console.h"

namespace scanmend {
namespace {

// Loads `fileName` with its console messages. False when it cannot be read.
bool loadDictionary(Dictionary& dictionary, const std::string& fileName, const LetterFold& fold,
                    std::ostream& console) {
  printReadingDictionary(console);
  std::string bytes;
  if (!readFileBytes(fileName, bytes)) {
    printDictionaryNotFound(console);
    return false;
  }
  dictionary.assign(std::move(bytes), fold);
  printDictionaryRead(console);
  return true;
}

}  // namespace

int runScanmend(const std::vector<std::string>& arguments, std::ostream& console) {
  // Asking for help must never run over a finished book: nothing is read
  // or written then.
  const auto given = [&arguments](std::string_view word) {
    return std::find(arguments.begin(), arguments.end(), word) != arguments.end();
  };
  if (given("--help") || given("-h")) {
    printUsage(console);
    return 0;
  }
  if (given("--version")) {
    printVersion(console);
    return 0;
  }

  printBanner(console);
  const RunTables tables = parseArguments(arguments);

  RunStats runStats;
  UnknownWordCounts unknownWordCounts;
  const std::string baseDirectory = ".";

  Dictionary dictionary;
  if (!loadDictionary(dictionary, "dic.txt", readingFold(tables.confusionTable), console)) return 1;

  // Frequent words are decided once. A prefix walk costs more than a probe
  // of the folded runs, so there the cache holds a book's whole vocabulary.
  OutcomeCache outcomeCache(dictionary.walksPrefixes() ? 1 << 17 : 1 << 14);
  CorrectionContext context{tables.confusionTable, tables.optionSet, dictionary, runStats,
                            unknownWordCounts,     &outcomeCache};
  // A file that could not be written is reported and the run goes on, but
  // its exit status says so: a batch over many books must not count a book
  // with lost pages as done.
  bool allWritten = true;
  const auto write = [&](const std::string& text, const std::string& path) {
    const WriteResult result = writeTextFile(text, path);
    printWriteResult(result, console);
    allWritten = allWritten && result == WriteResult::Written;
  };
  std::string page;
  for (std::int64_t pageNumber = 1;; ++pageNumber) {
    const std::string inputPath = pagePath("in", pageNumber);
    printProcessingFile(inputPath, console);
    if (!readPage(page, inputPath)) break;
    page = correctPage(std::move(page), context);
    write(page, pagePath(baseDirectory + "/out", pageNumber));
    page.clear();
  }

  write(formatUnknownWordReport(unknownWordCounts), baseDirectory + "/word_fr.txt");
  printStatistics(runStats, console);
  return allWritten ? 0 : kExitNotWritten;
}

}  // namespace scanmend
