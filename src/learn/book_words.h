// The distinct words of a book's pages with how often each occurs and on
// which pages, cut as a run of scanmend cuts them.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/word_hash.h"

namespace scanmend::learn {

struct BookWord {
  std::string text;
  std::int64_t count = 0;
  std::vector<std::int64_t> pages;  // ascending, each once
};

class BookWords {
 public:
  void addPage(std::int64_t number, std::string_view text);
  // Most frequent first, then in byte order.
  std::vector<BookWord> sorted() const;
  std::int64_t tokens() const { return tokens_; }

 private:
  std::unordered_map<std::string, BookWord, TransparentWordHash, std::equal_to<>> words_;
  std::int64_t tokens_ = 0;
};

// Whether every byte is a letter.
bool isLetterWord(std::string_view word);

}  // namespace scanmend::learn
