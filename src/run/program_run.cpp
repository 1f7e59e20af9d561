#include "run/program_run.h"

#include <cstdint>

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
  std::string page;
  for (std::int64_t pageNumber = 1;; ++pageNumber) {
    const std::string inputPath = pagePath("in", pageNumber);
    printProcessingFile(inputPath, console);
    if (!readPage(page, inputPath)) break;
    page = correctPage(std::move(page), context);
    printWriteResult(writeTextFile(page, pagePath(baseDirectory + "/out", pageNumber)), console);
    page.clear();
  }

  printWriteResult(
      writeTextFile(formatUnknownWordReport(unknownWordCounts), baseDirectory + "/word_fr.txt"),
      console);
  printStatistics(runStats, console);
  return 0;
}

}  // namespace scanmend
