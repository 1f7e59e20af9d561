// Fuzzes the page pass. The input is split at the first two 0x01 bytes into
// option words (separated by 0x02), a dictionary and a page. Checks, for
// every input: no crash or sanitizer report; the page keeps its length
// without "=" and loses exactly two bytes per join with it, the joins being
// those of the step-by-step algorithm; the counters add
// up; the unknown-word counts add up; the same page corrected again (with
// the outcome cache warm) gives the same text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "correction/line_joining.h"
#include "correction/page_correction.h"
#include "correction/word_splitting.h"
#include "step_by_step_join.h"

namespace {

using namespace scanmend;

std::vector<std::string> splitAt(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(separator, start)) != std::string_view::npos;
       start = end + 1)
    parts.emplace_back(text.substr(start, end - start));
  parts.emplace_back(text.substr(start));
  return parts;
}

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t first = input.find('\x01');
  const std::size_t second =
      first == std::string_view::npos ? first : input.find('\x01', first + 1);
  if (second == std::string_view::npos) return 0;
  const std::vector<std::string> arguments = splitAt(input.substr(0, first), '\x02');
  const std::string dictionaryBytes(input.substr(first + 1, second - first - 1));
  const std::string page(input.substr(second + 1));

  const RunTables tables = parseArguments(arguments);
  const ConfusionTable& table = tables.confusionTable;
  const OptionSet& options = tables.optionSet;
  Dictionary dictionary;
  dictionary.assign(dictionaryBytes, readingFold(table));
  RunStats stats;
  UnknownWordCounts unknown;
  CorrectionContext context{table, options, dictionary, stats, unknown};

  const std::string corrected = correctPage(page, context);
  const RunStats once = stats;
  if (options.contains(OptionWord::Join)) {
    std::size_t joins = 0;
    check(joinHyphenatedLines(page) == scanmend::testing::joinStepByStep(page, &joins));
    check(corrected.size() + 2 * joins == page.size());
  } else {
    check(corrected.size() == page.size());
  }
  check(stats.totalWords == stats.correctUnchanged + stats.changedIncorrect + stats.ambiguousWords +
                                stats.unknownWords);
  std::int64_t counted = 0;
  for (const auto& entry : unknown) counted += entry.second;
  check(counted == stats.unknownWords);
  check(correctPage(page, context) == corrected);

  // Every way of placing the dictionary finds the same readings, and a
  // small outcome cache changes nothing.
  Dictionary walked;
  Dictionary runs;
  walked.assign(dictionaryBytes, identityFold(), ReadingSearch::PrefixWalk);
  runs.assign(dictionaryBytes, readingFold(table), ReadingSearch::FoldedRuns);
  forEachWord(std::string_view(page).substr(0, 4096), [&](std::string_view word) {
    const WordOutcome expected = decideWord(word, table, options, dictionary);
    for (const Dictionary* other : {&walked, &runs}) {
      const WordOutcome outcome = decideWord(word, table, options, *other);
      check(outcome.kind == expected.kind && outcome.result == expected.result);
    }
  });
  RunStats cachedStats;
  UnknownWordCounts cachedUnknown;
  OutcomeCache cache(2);
  CorrectionContext cached{table, options, dictionary, cachedStats, cachedUnknown, &cache};
  check(correctPage(page, cached) == corrected && cachedStats == once);
  return 0;
}
