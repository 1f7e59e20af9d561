#include "learn/book_words.h"

#include <algorithm>

#include "base/letters.h"
#include "correction/word_splitting.h"

namespace scanmend::learn {

void BookWords::addPage(std::int64_t number, std::string_view text) {
  forEachWord(text, [&](std::string_view word) {
    ++tokens_;
    auto found = words_.find(word);
    if (found == words_.end())
      found = words_.emplace(std::string(word), BookWord{std::string(word), 0, {}}).first;
    BookWord& entry = found->second;
    ++entry.count;
    if (entry.pages.empty() || entry.pages.back() != number) entry.pages.push_back(number);
  });
}

std::vector<BookWord> BookWords::sorted() const {
  std::vector<BookWord> out;
  out.reserve(words_.size());
  for (const auto& [text, word] : words_) out.push_back(word);
  std::sort(out.begin(), out.end(), [](const BookWord& a, const BookWord& b) {
    if (a.count != b.count) return a.count > b.count;
    return std::lexicographical_compare(
        a.text.begin(), a.text.end(), b.text.begin(), b.text.end(), [](char x, char y) {
          return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        });
  });
  return out;
}

bool isLetterWord(std::string_view word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return isLetter(static_cast<unsigned char>(c));
  });
}

}  // namespace scanmend::learn
