#include "book/book.h"

#include <algorithm>
#include <iterator>
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
using WordMap = std::unordered_map<std::string, Occurrences, TransparentWordHash, std::equal_to<>>;

Occurrences& occurrencesOf(std::string_view word, WordMap& words) {
  auto found = words.find(word);
  if (found == words.end()) found = words.emplace(std::string(word), Occurrences{}).first;
  return found->second;
}

void addWords(std::string_view text, std::int64_t number, WordMap& words) {
  forEachWord(text, [&](std::string_view word) { occurrencesOf(word, words).add(number); });
}

// The words of the pages as they stand and as they are joined, each word
// looked up once where the two readings agree: in pages without line-end
// markers, and in pages with them everywhere but at the broken words.
struct Tallies {
  WordMap common;
  WordMap plainOnly;   // the pieces of the broken words
  WordMap joinedOnly;  // the broken words joined

  // Adds a page with line-end markers: its words and those of the page
  // joined, side by side. Joining only takes separators out, so a joined
  // word is either the next word of the page or the next few put together.
  void addJoined(std::string_view page, std::int64_t number) {
    const std::string joinedPage = joinHyphenatedLines(std::string(page));
    std::size_t plainAt = 0;
    std::size_t joinedAt = 0;
    std::vector<std::string_view> pieces;
    for (std::string_view word = nextWord(joinedPage, joinedAt); !word.empty();
         word = nextWord(joinedPage, joinedAt)) {
      pieces.clear();
      std::size_t length = 0;
      bool linedUp = true;
      while (linedUp && length < word.size()) {
        const std::string_view piece = nextWord(page, plainAt);
        linedUp = !piece.empty() && word.substr(length, piece.size()) == piece;
        if (!piece.empty()) pieces.push_back(piece);
        length += piece.size();
      }
      if (!linedUp) {
        // Not pieces of this word: what was counted so far stands, and the
        // rest of the page counts each way apart.
        for (const std::string_view piece : pieces) occurrencesOf(piece, plainOnly).add(number);
        addWords(page.substr(plainAt), number, plainOnly);
        occurrencesOf(word, joinedOnly).add(number);
        addWords(std::string_view(joinedPage).substr(joinedAt), number, joinedOnly);
        return;
      }
      if (pieces.size() == 1) {
        occurrencesOf(word, common).add(number);
        continue;
      }
      occurrencesOf(word, joinedOnly).add(number);
      for (const std::string_view piece : pieces) occurrencesOf(piece, plainOnly).add(number);
    }
    addWords(page.substr(plainAt), number, plainOnly);
  }
};

// The word of a map's entry, taken out of the map.
BookWord takenOut(WordMap& words, WordMap::iterator at) {
  auto node = words.extract(at);
  return {std::move(node.key()), node.mapped().count, std::move(node.mapped().pages)};
}

// The words of `common` and `extra` together, each once. `extra` is used
// up, and so is `common` where no other list needs it (`last`): the map
// shrinks as the list grows.
std::vector<BookWord> merged(WordMap& common, WordMap& extra, bool last) {
  std::vector<BookWord> list;
  list.reserve(common.size() + extra.size());
  for (auto at = common.begin(); at != common.end();) {
    BookWord word =
        last ? takenOut(common, at++) : BookWord(at->first, at->second.count, at->second.pages);
    if (!last) ++at;
    if (const auto more = extra.find(word.text); more != extra.end()) {
      const BookWord added = takenOut(extra, more);
      std::vector<std::int64_t> pages;
      pages.reserve(word.pages.size() + added.pages.size());
      std::set_union(word.pages.begin(), word.pages.end(), added.pages.begin(), added.pages.end(),
                     std::back_inserter(pages));
      word.count += added.count;
      word.pages = std::move(pages);
    }
    list.push_back(std::move(word));
  }
  while (!extra.empty()) list.push_back(takenOut(extra, extra.begin()));
  return list;
}

std::vector<BookWord> inByteOrder(std::vector<BookWord> words) {
  std::sort(words.begin(), words.end(),
            [](const BookWord& a, const BookWord& b) { return a.text < b.text; });
  return words;
}

std::vector<BookWord> listOf(WordMap& words) {
  std::vector<BookWord> list;
  list.reserve(words.size());
  while (!words.empty()) list.push_back(takenOut(words, words.begin()));
  return inByteOrder(std::move(list));
}

// One pass over the line ends of a page: each "=", "-" or negation sign
// (which some OCR programs write for a broken word) before a line end adds
// the words on both sides of it to `pieces`; each "=" also counts as a
// line-end marker and adds the word it breaks, with the "=", to `broken`.
// Returns the number of "=" markers.
std::int64_t addBrokenWords(std::string_view text, std::int64_t page, WordMap& broken,
                            WordMap& pieces) {
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

PagesRead readPages() {
  PagesRead read;
  for (std::int64_t number = 1;; ++number) {
    std::string page;
    read.end = readPageFile(page, pagePath("in", number));
    if (read.end != ReadResult::Read) return read;
    read.pages.push_back(std::move(page));
  }
}

bool hasLineEndMarker(const std::string& page) { return page.find("=\n") != std::string::npos; }

Book bookOfPages(const std::vector<std::string>& pages) {
  Tallies tallies;
  WordMap broken;
  WordMap pieces;
  Book book;
  for (const std::string& page : pages) {
    const std::int64_t number = ++book.pages;
    if (book.firstUtf8Page == 0 && looksLikeUtf8(page)) book.firstUtf8Page = number;
    const std::int64_t markers = addBrokenWords(page, number, broken, pieces);
    book.lineEndMarkers += markers;
    if (markers > 0) {
      tallies.addJoined(page, number);
    } else {
      addWords(page, number, tallies.common);
    }
  }
  const bool joins = book.lineEndMarkers > 0;
  book.words = inByteOrder(merged(tallies.common, tallies.plainOnly, !joins));
  if (joins) book.joinedWords = inByteOrder(merged(tallies.common, tallies.joinedOnly, true));
  book.brokenWords = listOf(broken);
  book.brokenPieces = listOf(pieces);
  return book;
}

std::vector<BookWord> joinedWordsOf(const std::vector<std::string>& pages) {
  WordMap words;
  for (std::size_t n = 0; n < pages.size(); ++n) {
    const auto number = static_cast<std::int64_t>(n + 1);
    if (hasLineEndMarker(pages[n]))
      addWords(joinHyphenatedLines(pages[n]), number, words);
    else
      addWords(pages[n], number, words);
  }
  std::vector<BookWord> list;
  list.reserve(words.size());
  while (!words.empty()) list.push_back(takenOut(words, words.begin()));
  return mostFrequentFirst(std::move(list));
}

std::vector<BookWord> mostFrequentFirst(std::vector<BookWord> words) {
  // The order is found on numbers and views, and each word moved once:
  // a word's text and pages are too large to swap at every step.
  std::vector<std::uint32_t> order(words.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    if (words[a].count != words[b].count) return words[a].count > words[b].count;
    return words[a].text < words[b].text;
  });
  std::vector<BookWord> sorted;
  sorted.reserve(words.size());
  for (const std::uint32_t i : order) sorted.push_back(std::move(words[i]));
  return sorted;
}

std::int64_t occurrences(const std::vector<BookWord>& words) {
  std::int64_t total = 0;
  for (const BookWord& word : words) total += word.count;
  return total;
}

}  // namespace scanmend
