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

// Counts the line-end markers and adds the words they break.
std::int64_t addBrokenWords(std::string_view text, Counts& broken) {
  const auto isWordByte = [](char c) { return !isWordSeparator(static_cast<unsigned char>(c)); };
  std::int64_t markers = 0;
  for (std::size_t at = text.find("=\n"); at != std::string_view::npos;
       at = text.find("=\n", at + 1)) {
    ++markers;
    std::size_t start = at;
    while (start > 0 && isWordByte(text[start - 1])) --start;
    std::size_t end = at + 2;
    while (end < text.size() && isWordByte(text[end])) ++end;
    if (start < at && end > at + 2)
      ++broken[std::string(text.substr(start, at + 1 - start)) +
               std::string(text.substr(at + 2, end - at - 2))];
  }
  return markers;
}

}  // namespace

Book bookOfPages(const std::vector<std::string>& pages) {
  Counts plain;
  Counts joined;
  Counts broken;
  Book book;
  for (const std::string& page : pages) {
    ++book.pages;
    book.lineEndMarkers += addBrokenWords(page, broken);
    addWords(page, plain);
    addWords(joinHyphenatedLines(page), joined);
  }
  book.words = sorted(std::move(plain));
  book.joinedWords = sorted(std::move(joined));
  book.brokenWords = sorted(std::move(broken));
  return book;
}

bool readBook(Book& book) {
  std::vector<std::string> pages;
  for (std::int64_t number = 1;; ++number) {
    std::string page;
    if (!readFileBytes(inputPagePath(number), page)) break;
    decodeText(page);
    pages.push_back(std::move(page));
  }
  book = bookOfPages(pages);
  return book.pages > 0;
}

}  // namespace scanmend::advise
