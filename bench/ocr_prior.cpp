// The usual misreadings of an OCR, counted on pages with their true text:
// each page's words are lined up with the true words, each word read
// wrong letter by letter with its true word, and every scanned letter (or
// group of two) that stands for other letters is counted against all its
// occurrences in the words lined up. Prints them as profile.tsv rows, the
// prior that scanmend-learn starts a book from (data/ocr_prior.tsv).
//
//   ocr_prior [--least N] TRUTH_DIR OCR_DIR [TRUTH_DIR OCR_DIR]...
//
// Both directories hold 001.txt, 002.txt, ... in Windows-1252; words
// broken at a line end with "=" or "-" are joined first. A letter the OCR
// left out is counted with the scanned letter after it, or before it at the
// word's end (profile/alignment.h).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "base/letters.h"
#include "correction/word_splitting.h"
#include "files/text_files.h"
#include "profile/alignment.h"

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
  scanmend::forEachWord(glued, [&words](std::string_view word) {
    // Quotation marks and dashes at a word's ends are no letters of it.
    std::size_t begin = 0;
    std::size_t end = word.size();
    while (begin < end && (word[begin] == '\x84' || word[begin] == '\x93' || word[begin] == '\x94'))
      ++begin;
    while (end > begin &&
           (word[end - 1] == '\x84' || word[end - 1] == '\x93' || word[end - 1] == '\x94'))
      --end;
    if (end > begin) words.emplace_back(word.substr(begin, end - begin));
  });
  return words;
}

// Pairs of (OCR word, true word) where the two lists line up: the same
// words, or runs of as many words between them.
std::vector<std::pair<std::string, std::string>> lineUp(const std::vector<std::string>& truth,
                                                        const std::vector<std::string>& read) {
  const std::size_t n = truth.size();
  const std::size_t m = read.size();
  std::vector<std::vector<unsigned>> length(n + 1, std::vector<unsigned>(m + 1, 0));
  for (std::size_t i = n; i-- > 0;)
    for (std::size_t j = m; j-- > 0;)
      length[i][j] = truth[i] == read[j] ? length[i + 1][j + 1] + 1
                                         : std::max(length[i + 1][j], length[i][j + 1]);
  std::vector<std::pair<std::string, std::string>> pairs;
  std::size_t i = 0;
  std::size_t j = 0;
  std::size_t gapI = 0;
  std::size_t gapJ = 0;
  auto closeGap = [&] {
    if (i - gapI == j - gapJ)
      for (std::size_t k = 0; k < i - gapI; ++k)
        pairs.emplace_back(read[gapJ + k], truth[gapI + k]);
  };
  while (i < n && j < m) {
    if (truth[i] == read[j]) {
      closeGap();
      pairs.emplace_back(read[j], truth[i]);
      gapI = ++i;
      gapJ = ++j;
    } else if (length[i + 1][j] >= length[i][j + 1]) {
      ++i;
    } else {
      ++j;
    }
  }
  i = n;
  j = m;
  closeGap();
  return pairs;
}

using Key = std::tuple<std::string, bool, std::string>;  // scanned, at the end, reading

}  // namespace

int main(int argc, char** argv) {
  long least = 3;
  std::vector<std::string> dirs;
  for (int a = 1; a < argc; ++a) {
    if (std::string(argv[a]) == "--least" && a + 1 < argc) {
      least = std::atol(argv[++a]);
    } else {
      dirs.emplace_back(argv[a]);
    }
  }
  if (dirs.empty() || dirs.size() % 2 != 0) {
    std::cerr << "usage: ocr_prior [--least N] TRUTH_DIR OCR_DIR [TRUTH_DIR OCR_DIR]...\n";
    return 2;
  }
  std::map<Key, long> misread;
  std::map<std::pair<std::string, bool>, long> occurrences;
  std::map<Key, std::vector<std::string>> examples;
  for (std::size_t d = 0; d < dirs.size(); d += 2) {
    for (int page = 1;; ++page) {
      char name[32];
      std::snprintf(name, sizeof name, "/%03d.txt", page);
      const std::vector<std::string> truth = wordsOf(dirs[d] + name);
      if (truth.empty()) break;
      for (const auto& [read, meant] : lineUp(truth, wordsOf(dirs[d + 1] + name))) {
        // Words wrong in more than a third of their letters are other
        // words, not misreadings of these.
        const std::vector<scanmend::AlignedStep> steps = scanmend::alignWords(read, meant);
        std::size_t wrong = 0;
        for (const auto& step : steps)
          wrong += step.length != 1 || step.meant.size() != 1 || read[step.at] != step.meant[0];
        // A word cut short by more than a third is another word too.
        if (3 * wrong > std::max(read.size(), meant.size())) continue;
        ++occurrences[{"", true}];  // a word's end, where letters may be left out
        for (std::size_t at = 0; at < read.size(); ++at) {
          ++occurrences[{read.substr(at, 1), at + 1 == read.size()}];
          if (at + 1 < read.size()) ++occurrences[{read.substr(at, 2), at + 2 == read.size()}];
        }
        for (const auto& step : steps) {
          const std::string scanned = read.substr(step.at, step.length);
          if (scanned == step.meant) continue;
          const Key key{scanned, step.at + step.length == read.size(), step.meant};
          ++misread[key];
          if (examples[key].size() < 3) examples[key].push_back(read + ">" + meant);
        }
      }
    }
  }
  std::printf("scanned\tplace\treading\tprobability\twords\texamples\n");
  for (const auto& [key, count] : misread) {
    const auto& [scanned, atEnd, reading] = key;
    if (count < least || scanned.size() > 2 || reading.size() > 2) continue;
    // Fraktur has one letter for I and J: which of them the truth writes
    // is its convention, no misreading.
    const auto isIJ = [](const std::string& s) { return s == "I" || s == "J"; };
    if (isIJ(scanned) && isIJ(reading)) continue;
    const long of = occurrences[{scanned, atEnd}];
    std::printf("%s\t%s\t%s\t%.4f\t%ld\t", scanned.c_str(), atEnd ? "end" : "other",
                reading.c_str(), static_cast<double>(count) / static_cast<double>(of), count);
    for (std::size_t k = 0; k < examples[key].size(); ++k)
      std::printf("%s%s", k == 0 ? "" : " ", examples[key][k].c_str());
    std::printf("\n");
  }
  return 0;
}
