#include "advise/book.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "correction/line_joining.h"
#include "correction/page_correction.h"
#include "files/text_files.h"

namespace scanmend::advise {
namespace {

using Counts = std::unordered_map<std::string, std::int64_t>;

void addWords(std::string_view text, Counts& counts) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !isWordSeparator(static_cast<unsigned char>(text[i]))) continue;
    if (i > start) ++counts[std::string(text.substr(start, i - start))];
    start = i + 1;
  }
}

std::vector<BookWord> sorted(Counts&& counts) {
  std::vector<BookWord> words;
  words.reserve(counts.size());
  for (auto& [text, count] : counts) words.push_back({text, count});
  std::sort(words.begin(), words.end(),
            [](const BookWord& a, const BookWord& b) { return a.text < b.text; });
  return words;
}

std::int64_t countMarkers(std::string_view text) {
  std::int64_t markers = 0;
  for (std::size_t at = text.find("=\n"); at != std::string_view::npos;
       at = text.find("=\n", at + 1))
    ++markers;
  return markers;
}

}  // namespace

std::vector<BookWord> countWords(const std::vector<std::string>& texts) {
  Counts counts;
  for (const std::string& text : texts) addWords(text, counts);
  return sorted(std::move(counts));
}

bool readBook(Book& book) {
  Counts plain;
  Counts joined;
  book = Book();
  for (std::int64_t number = 1;; ++number) {
    std::string page;
    if (!readFileBytes(inputPagePath(number), page)) break;
    decodeText(page);
    ++book.pages;
    book.lineEndMarkers += countMarkers(page);
    addWords(page, plain);
    addWords(joinHyphenatedLines(page), joined);
  }
  book.words = sorted(std::move(plain));
  book.joinedWords = sorted(std::move(joined));
  return book.pages > 0;
}

}  // namespace scanmend::advise
