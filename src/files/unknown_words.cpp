#include "files/unknown_words.h"

#include "files/text_files.h"

namespace scanmend {

void countUnknownWord(UnknownWordCounts& counts, std::string_view word) {
  auto entry = counts.find(word);
  if (entry == counts.end()) entry = counts.emplace(std::string(word), 0).first;
  ++entry->second;
}

std::string formatUnknownWordReport(const UnknownWordCounts& counts) {
  std::string report = "word frequency of unknown words:\n";
  for (const auto& [word, count] : counts) {
    report += word;
    report += '\t';
    report += std::to_string(count);
    report += '\n';
  }
  return report;
}

void writeUnknownWordReport(const std::string& baseDirectory, const UnknownWordCounts& counts,
                            std::ostream& console) {
  writeTextFile(formatUnknownWordReport(counts), baseDirectory + "/word_fr.txt", console);
}

}  // namespace scanmend
