#include "book/book.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "base/encoding_guess.h"
#include "base/word_hash.h"
#include "correction/line_joining.h"
#include "correction/word_splitting.h"
#include "files/text_files.h"

namespace scanmend {
namespace {

// A word's occurrences in one way of reading the pages.
struct Occurrences {
  std::int64_t count = 0;
  std::vector<std::int64_t> pages;

  void add(std::int64_t page) {
    ++count;
    if (pages.empty() || pages.back() != page) pages.push_back(page);
  }
};

// Looked up by the words' bytes in place: most words of a book repeat.
template <typename Value>
using WordMap = std::unordered_map<std::string, Value, TransparentWordHash, std::equal_to<>>;

// Each distinct word once, as the pages stand and as they are joined: a
// page without line-end markers reads alike both ways, so each of its words
// is looked up once for both.
struct Tally {
  Occurrences plain;
  Occurrences joined;
};

Occurrences& occurrencesOf(std::string_view word, WordMap<Occurrences>& words) {
  auto found = words.find(word);
  if (found == words.end()) found = words.emplace(std::string(word), Occurrences{}).first;
  return found->second;
}

Tally& tallyOf(std::string_view word, WordMap<Tally>& words) {
  auto found = words.find(word);
  if (found == words.end()) found = words.emplace(std::string(word), Tally{}).first;
  return found->second;
}

std::vector<BookWord> inByteOrder(std::vector<BookWord> words) {
  std::sort(words.begin(), words.end(),
            [](const BookWord& a, const BookWord& b) { return a.text < b.text; });
  return words;
}

std::vector<BookWord> listOf(WordMap<Occurrences>&& words) {
  std::vector<BookWord> list;
  list.reserve(words.size());
  for (auto& [text, seen] : words) list.push_back({text, seen.count, std::move(seen.pages)});
  return inByteOrder(std::move(list));
}

// One pass over the line ends of a page: each "=", "-" or negation sign
// (which some OCR programs write for a broken word) before a line end adds
// the words on both sides of it to `pieces`; each "=" also counts as a
// line-end marker and adds the word it breaks, with the "=", to `broken`.
// Returns the number of "=" markers.
std::int64_t addBrokenWords(std::string_view text, std::int64_t page, WordMap<Occurrences>& broken,
                            WordMap<Occurrences>& pieces) {
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
    if (start < mark) occurrencesOf(text.substr(start, mark - start), pieces).add(page);
    if (end > lf + 1) occurrencesOf(text.substr(lf + 1, end - lf - 1), pieces).add(page);
    if (text[mark] != '=') continue;
    ++markers;
    if (start < mark && end > lf + 1)
      occurrencesOf(std::string(text.substr(start, lf - start)) +
                        std::string(text.substr(lf + 1, end - lf - 1)),
                    broken)
          .add(page);
  }
  return markers;
}

}  // namespace

std::vector<std::string> readPages() {
  std::vector<std::string> pages;
  for (std::int64_t number = 1;; ++number) {
    std::string page;
    if (!readPage(page, pagePath("in", number))) break;
    pages.push_back(std::move(page));
  }
  return pages;
}

bool hasLineEndMarker(const std::string& page) { return page.find("=\n") != std::string::npos; }

Book bookOfPages(const std::vector<std::string>& pages) {
  WordMap<Tally> words;
  WordMap<Occurrences> broken;
  WordMap<Occurrences> pieces;
  Book book;
  for (const std::string& page : pages) {
    const std::int64_t number = ++book.pages;
    if (book.firstUtf8Page == 0 && looksLikeUtf8(page)) book.firstUtf8Page = number;
    const std::int64_t markers = addBrokenWords(page, number, broken, pieces);
    book.lineEndMarkers += markers;
    if (markers == 0) {
      forEachWord(page, [&](std::string_view word) {
        Tally& tally = tallyOf(word, words);
        tally.plain.add(number);
        tally.joined.add(number);
      });
      continue;
    }
    forEachWord(page, [&](std::string_view word) { tallyOf(word, words).plain.add(number); });
    forEachWord(joinHyphenatedLines(page),
                [&](std::string_view word) { tallyOf(word, words).joined.add(number); });
  }
  for (auto& [text, tally] : words) {
    if (tally.plain.count > 0)
      book.words.push_back({text, tally.plain.count, std::move(tally.plain.pages)});
    if (book.lineEndMarkers > 0 && tally.joined.count > 0)
      book.joinedWords.push_back({text, tally.joined.count, std::move(tally.joined.pages)});
  }
  book.words = inByteOrder(std::move(book.words));
  book.joinedWords = inByteOrder(std::move(book.joinedWords));
  book.brokenWords = listOf(std::move(broken));
  book.brokenPieces = listOf(std::move(pieces));
  return book;
}

std::vector<BookWord> mostFrequentFirst(std::vector<BookWord> words) {
  std::sort(words.begin(), words.end(), [](const BookWord& a, const BookWord& b) {
    if (a.count != b.count) return a.count > b.count;
    return a.text < b.text;
  });
  return words;
}

std::int64_t occurrences(const std::vector<BookWord>& words) {
  std::int64_t total = 0;
  for (const BookWord& word : words) total += word.count;
  return total;
}

}  // namespace scanmend
