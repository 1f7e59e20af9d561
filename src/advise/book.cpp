#include "advise/book.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "advise/directory_checks.h"
#include "base/word_hash.h"
#include "correction/line_joining.h"
#include "correction/word_splitting.h"
#include "files/text_files.h"

namespace scanmend::advise {
namespace {

// Looked up by the words' bytes in place: most words of a book repeat.
using Counts = std::unordered_map<std::string, std::int64_t, TransparentWordHash, std::equal_to<>>;

void add(std::string_view word, std::int64_t count, Counts& counts) {
  const auto found = counts.find(word);
  if (found == counts.end()) {
    counts.emplace(std::string(word), count);
  } else {
    found->second += count;
  }
}

// What joining does to the words of a page: a joined word stands where the
// pieces of the broken word stood, everything else stays. Adds +1 for each
// joined word and -1 for each piece to `change`.
void addJoiningChange(std::string_view page, Counts& change) {
  const std::string joinedPage = joinHyphenatedLines(std::string(page));
  const std::vector<std::string_view> plain = splitWords(page);
  const std::vector<std::string_view> joined = splitWords(joinedPage);
  std::size_t i = 0;
  for (const std::string_view word : joined) {
    if (i < plain.size() && plain[i] == word) {
      ++i;
      continue;
    }
    std::string pieces;
    const std::size_t first = i;
    while (i < plain.size() && pieces.size() < word.size()) pieces += plain[i++];
    if (pieces != word) {  // not pieces put together: count the whole page anew
      for (const std::string_view w : plain) add(w, -1, change);
      for (const std::string_view w : joined) add(w, +1, change);
      return;
    }
    add(word, +1, change);
    for (std::size_t k = first; k < i; ++k) add(plain[k], -1, change);
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

// One pass over the line ends of a page: each "=", "-" or negation sign
// (which some OCR programs write for a broken word) before a line end adds
// the words on both sides of it to `pieces`; each "=" also counts as a
// line-end marker and adds the word it breaks, with the "=", to `broken`.
// Returns the number of "=" markers.
std::int64_t addBrokenWords(std::string_view text, Counts& broken, Counts& pieces) {
  const auto isWordByte = [](char c) { return !isWordSeparator(static_cast<unsigned char>(c)); };
  std::int64_t markers = 0;
  for (std::size_t lf = text.find('\n', 1); lf != std::string_view::npos;
       lf = text.find('\n', lf + 1)) {
    const std::size_t mark = lf - 1;
    if (text[mark] != '=' && text[mark] != '-' && text[mark] != '\xAC') continue;
    std::size_t start = mark;
    while (start > 0 && isWordByte(text[start - 1])) --start;
    std::size_t end = lf + 1;
    while (end < text.size() && isWordByte(text[end])) ++end;
    if (start < mark) add(text.substr(start, mark - start), 1, pieces);
    if (end > lf + 1) add(text.substr(lf + 1, end - lf - 1), 1, pieces);
    if (text[mark] != '=') continue;
    ++markers;
    if (start < mark && end > lf + 1)
      add(std::string(text.substr(start, lf - start)) +
              std::string(text.substr(lf + 1, end - lf - 1)),
          1, broken);
  }
  return markers;
}

}  // namespace

Book bookOfPages(const std::vector<std::string>& pages) {
  Counts plain;
  Counts change;  // from the plain words to the joined ones
  Counts broken;
  Counts pieces;
  Book book;
  for (const std::string& page : pages) {
    ++book.pages;
    if (book.firstUtf8Page == 0 && looksLikeUtf8(page)) book.firstUtf8Page = book.pages;
    const std::int64_t markers = addBrokenWords(page, broken, pieces);
    book.lineEndMarkers += markers;
    forEachWord(page, [&plain](std::string_view word) { add(word, 1, plain); });
    if (markers > 0) addJoiningChange(page, change);
  }
  Counts joined = plain;
  for (const auto& [word, count] : change) add(word, count, joined);
  std::erase_if(joined, [](const auto& entry) { return entry.second == 0; });
  book.words = sorted(std::move(plain));
  book.joinedWords = sorted(std::move(joined));
  book.brokenWords = sorted(std::move(broken));
  book.brokenPieces = sorted(std::move(pieces));
  return book;
}

bool readBook(Book& book) {
  std::vector<std::string> pages;
  for (std::int64_t number = 1;; ++number) {
    std::string page;
    if (!readPage(page, pagePath("in", number))) break;
    pages.push_back(std::move(page));
  }
  book = bookOfPages(pages);
  return book.pages > 0;
}

}  // namespace scanmend::advise
