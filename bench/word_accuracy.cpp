// Word accuracy of corrected pages against the true pages: the share of
// true words that stand unchanged in their place, the words of each page
// aligned with the true ones as a longest common subsequence, so that a
// word the OCR split or merged costs that word and not the rest of the
// page. Given the raw pages
// too, also the share of the words right as read that the corrected pages
// get wrong (the correct words broken), after a blank.
//
//   word_accuracy TRUTH_DIRECTORY PAGES_DIRECTORY [RAW_DIRECTORY]
//
// Both sides are read as the tool reads pages; words broken at a line end
// with "=" (or "-", as the phrase repairs write it) are glued together
// first, so that a run with and a run without line joining are compared on
// the same words.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "correction/word_splitting.h"
#include "files/text_files.h"

namespace {

std::vector<std::string> wordsOf(const std::string& path) {
  std::string text;
  if (!scanmend::readFileBytes(path, text)) return {};
  scanmend::decodeText(text);
  std::string glued;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((text[i] == '=' || text[i] == '-') && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      continue;
    }
    glued += text[i];
  }
  std::vector<std::string> words;
  scanmend::forEachWord(glued, [&words](std::string_view word) { words.emplace_back(word); });
  return words;
}

// For each true word, whether the longest common subsequence of the two
// word lists holds it.
std::vector<bool> alignedWords(const std::vector<std::string>& truth, const std::vector<std::string>& page) {
  const std::size_t n = truth.size();
  const std::size_t m = page.size();
  std::vector<std::vector<unsigned>> length(n + 1, std::vector<unsigned>(m + 1, 0));
  for (std::size_t i = n; i-- > 0;)
    for (std::size_t j = m; j-- > 0;)
      length[i][j] = truth[i] == page[j] ? length[i + 1][j + 1] + 1
                                         : std::max(length[i + 1][j], length[i][j + 1]);
  std::vector<bool> aligned(n, false);
  for (std::size_t i = 0, j = 0; i < n && j < m;) {
    if (truth[i] == page[j]) {
      aligned[i++] = true;
      ++j;
    } else if (length[i + 1][j] >= length[i][j + 1]) {
      ++i;
    } else {
      ++j;
    }
  }
  return aligned;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::cerr << "usage: word_accuracy TRUTH_DIRECTORY PAGES_DIRECTORY [RAW_DIRECTORY]\n";
    return 2;
  }
  long total = 0;
  long right = 0;
  long rightAsRead = 0;
  long broken = 0;
  for (int n = 1;; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/%03d.txt", n);
    const std::vector<std::string> truth = wordsOf(argv[1] + std::string(name));
    if (truth.empty()) break;
    const std::vector<std::string> pages = wordsOf(argv[2] + std::string(name));
    total += static_cast<long>(truth.size());
    const std::vector<bool> corrected = alignedWords(truth, pages);
    for (const bool aligned : corrected) right += aligned;
    if (argc == 4) {
      const std::vector<bool> raw = alignedWords(truth, wordsOf(argv[3] + std::string(name)));
      for (std::size_t i = 0; i < truth.size(); ++i) {
        rightAsRead += raw[i];
        broken += raw[i] && !corrected[i];
      }
    }
  }
  if (total == 0) {
    std::cerr << "word_accuracy: no true pages in " << argv[1] << "\n";
    return 1;
  }
  std::printf("%.2f", 100.0 * static_cast<double>(right) / static_cast<double>(total));
  if (argc == 4)
    std::printf(" %.2f", rightAsRead == 0 ? 0.0 : 100.0 * static_cast<double>(broken) / static_cast<double>(rightAsRead));
  std::printf("\n");
  return 0;
}
