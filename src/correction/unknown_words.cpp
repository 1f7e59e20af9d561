#include "correction/unknown_words.h"

#include <algorithm>
#include <vector>

namespace scanmend {

void countUnknownWord(UnknownWordCounts& counts, std::string_view word) {
  auto entry = counts.find(word);
  if (entry == counts.end()) entry = counts.emplace(std::string(word), 0).first;
  ++entry->second;
}

std::string formatUnknownWordReport(const UnknownWordCounts& counts) {
  std::vector<const UnknownWordCounts::value_type*> entries;
  entries.reserve(counts.size());
  for (const auto& entry : counts) entries.push_back(&entry);
  std::sort(entries.begin(), entries.end(), [](auto a, auto b) { return a->first < b->first; });
  std::string report = "word frequency of unknown words:\n";
  for (const auto* entry : entries) {
    const auto& [word, count] = *entry;
    report += word;
    report += '\t';
    report += std::to_string(count);
    report += '\n';
  }
  return report;
}

}  // namespace scanmend
