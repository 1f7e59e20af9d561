// Word accuracy of corrected pages against the true pages: the share of
// true words that stand unchanged in their place, the words of each page
// aligned with the true ones as a longest common subsequence, so that a
// word the OCR split or merged costs that word and not the rest of the
// page. Given the raw pages
// too, also the share of the words right as read that the corrected pages
// get wrong (the correct words broken), after a blank.
//
//   word_accuracy [--letters] [--counts] [--classes DIC] TRUTH_DIRECTORY PAGES_DIRECTORY
//                 [RAW_DIRECTORY]
//
// Both sides are read as the tool reads pages; words broken at a line end
// with "=" (or "-", as the phrase repairs write it) are glued together
// first, so that a run with and a run without line joining are compared on
// the same words. With --letters a word is a run of letters, and a line
// end after a letter and "=", "-" or "\xAC" joins, as real-dev-early is
// scored.
//
// --counts prints, instead of the shares, the counts that they are made
// of: true words, right as read, right after, broken, mended. --classes
// (with the raw pages) prints, after them, what is left wrong, each true
// word that is wrong both as read and after once, by class: a non-word
// read where the true word is in DIC ("non-word"), a word holding a mark
// that OCR writes for letters ("marks"), a true word that DIC lacks
// ("not-listed"), a dictionary word read for another ("real-word"), a word
// the correction made wrong otherwise ("made-other"), and words that the
// OCR split or merged ("split").
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "base/letters.h"
#include "book/word_core.h"
#include "correction/word_splitting.h"
#include "dictionary/sorted_words.h"
#include "files/text_files.h"

namespace {

bool lettersOnly = false;

std::vector<std::string> wordsOf(const std::string& path) {
  std::string text;
  if (!scanmend::readFileBytes(path, text)) return {};
  scanmend::decodeText(text);
  std::string glued;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool mark = c == '=' || c == '-' || (lettersOnly && c == '\xAC');
    if (mark && i > 0 && (!lettersOnly || scanmend::isLetter(static_cast<unsigned char>(text[i - 1])))) {
      std::size_t next = i + 1;
      while (lettersOnly && next < text.size() && (text[next] == ' ' || text[next] == '\t')) ++next;
      if (next < text.size() && text[next] == '\n') {
        i = next;
        while (lettersOnly && i + 1 < text.size() && (text[i + 1] == ' ' || text[i + 1] == '\t')) ++i;
        continue;
      }
    }
    glued += c;
  }
  std::vector<std::string> words;
  if (!lettersOnly) {
    scanmend::forEachWord(glued, [&words](std::string_view word) { words.emplace_back(word); });
    return words;
  }
  std::string word;
  for (const char c : glued) {
    if (scanmend::isLetter(static_cast<unsigned char>(c))) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

// For each true word, the index of the page word that the longest common
// subsequence of the two lists pairs it with, or -1.
std::vector<long> alignedWords(const std::vector<std::string>& truth,
                               const std::vector<std::string>& page) {
  const std::size_t n = truth.size();
  const std::size_t m = page.size();
  std::vector<std::vector<unsigned>> length(n + 1, std::vector<unsigned>(m + 1, 0));
  for (std::size_t i = n; i-- > 0;)
    for (std::size_t j = m; j-- > 0;)
      length[i][j] = truth[i] == page[j] ? length[i + 1][j + 1] + 1
                                         : std::max(length[i + 1][j], length[i][j + 1]);
  std::vector<long> aligned(n, -1);
  for (std::size_t i = 0, j = 0; i < n && j < m;) {
    if (truth[i] == page[j]) {
      aligned[i++] = static_cast<long>(j++);
    } else if (length[i + 1][j] >= length[i][j + 1]) {
      ++i;
    } else {
      ++j;
    }
  }
  return aligned;
}

// For each true word, the page word in its place: the aligned one, or,
// between two aligned words, the one at the same distance where the gaps
// are as long on both sides; else none ("split").
std::vector<const std::string*> placed(const std::vector<std::string>& truth,
                                       const std::vector<std::string>& page) {
  const std::vector<long> aligned = alignedWords(truth, page);
  std::vector<const std::string*> at(truth.size(), nullptr);
  long lastTruth = -1;
  long lastPage = -1;
  for (std::size_t i = 0; i <= truth.size(); ++i) {
    if (i < truth.size() && aligned[i] < 0) continue;
    const long pageAt = i < truth.size() ? aligned[i] : static_cast<long>(page.size());
    if (pageAt - lastPage == static_cast<long>(i) - lastTruth)
      for (long k = 1; lastTruth + k < static_cast<long>(i); ++k)
        at[static_cast<std::size_t>(lastTruth + k)] = &page[static_cast<std::size_t>(lastPage + k)];
    if (i < truth.size()) at[i] = &page[static_cast<std::size_t>(pageAt)];
    lastTruth = static_cast<long>(i);
    lastPage = pageAt;
  }
  return at;
}

bool listed(const scanmend::SortedWords& dictionary, const std::string& word) {
  return scanmend::containsOrCapitalised(dictionary, word);
}

}  // namespace

int main(int argc, char** argv) {
  bool counts = false;
  std::string classesDictionary;
  std::vector<std::string> directories;
  for (int a = 1; a < argc; ++a) {
    if (std::strcmp(argv[a], "--letters") == 0) {
      lettersOnly = true;
    } else if (std::strcmp(argv[a], "--counts") == 0) {
      counts = true;
    } else if (std::strcmp(argv[a], "--classes") == 0 && a + 1 < argc) {
      classesDictionary = argv[++a];
    } else {
      directories.emplace_back(argv[a]);
    }
  }
  if (directories.size() != 2 && directories.size() != 3) {
    std::cerr << "usage: word_accuracy [--letters] [--counts] [--classes DIC] TRUTH_DIRECTORY "
                 "PAGES_DIRECTORY [RAW_DIRECTORY]\n";
    return 2;
  }
  scanmend::SortedWords dictionary;
  if (!classesDictionary.empty()) {
    std::string bytes;
    if (!scanmend::readFileBytes(classesDictionary, bytes)) {
      std::cerr << "word_accuracy: " << classesDictionary << " cannot be read\n";
      return 2;
    }
    dictionary.assign(std::move(bytes));
  }
  const bool withRaw = directories.size() == 3;
  long total = 0;
  long right = 0;
  long rightAsRead = 0;
  long broken = 0;
  long mended = 0;
  std::map<std::string, long> left;
  for (int n = 1;; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/%03d.txt", n);
    const std::vector<std::string> truth = wordsOf(directories[0] + name);
    if (truth.empty()) break;
    const std::vector<std::string> pages = wordsOf(directories[1] + name);
    total += static_cast<long>(truth.size());
    const std::vector<long> corrected = alignedWords(truth, pages);
    for (const long aligned : corrected) right += aligned >= 0;
    if (!withRaw) continue;
    const std::vector<std::string> rawWords = wordsOf(directories[2] + name);
    const std::vector<long> raw = alignedWords(truth, rawWords);
    const std::vector<const std::string*> readAt = placed(truth, rawWords);
    const std::vector<const std::string*> writtenAt = placed(truth, pages);
    for (std::size_t i = 0; i < truth.size(); ++i) {
      rightAsRead += raw[i] >= 0;
      broken += raw[i] >= 0 && corrected[i] < 0;
      mended += raw[i] < 0 && corrected[i] >= 0;
      if (classesDictionary.empty() || raw[i] >= 0 || corrected[i] >= 0) continue;
      const std::string* read = readAt[i];
      const std::string* written = writtenAt[i];
      if (read == nullptr || written == nullptr)
        ++left["split"];
      else if (*written != *read)
        ++left["made-other"];
      else if (scanmend::holdsOcrMark(*read) || scanmend::holdsForeignAccent(*read))
        ++left["marks"];
      else if (listed(dictionary, *read))
        ++left["real-word"];
      else if (listed(dictionary, truth[i]))
        ++left["non-word"];
      else
        ++left["not-listed"];
    }
  }
  if (total == 0) {
    std::cerr << "word_accuracy: no true pages in " << directories[0] << "\n";
    return 1;
  }
  if (counts) {
    std::printf("%ld %ld %ld %ld %ld", total, rightAsRead, right, broken, mended);
  } else {
    std::printf("%.2f", 100.0 * static_cast<double>(right) / static_cast<double>(total));
    if (withRaw)
      std::printf(" %.2f", rightAsRead == 0 ? 0.0
                                            : 100.0 * static_cast<double>(broken) /
                                                  static_cast<double>(rightAsRead));
  }
  for (const char* kind : {"non-word", "marks", "not-listed", "real-word", "made-other", "split"})
    if (!classesDictionary.empty()) std::printf(" %s=%ld", kind, left[kind]);
  std::printf("\n");
  return 0;
}
