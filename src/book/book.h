// A book as the tools that study it see it: the distinct words of its
// pages, with how often and on which pages each occurs, read from
// in/001.txt, in/002.txt, ... by the same file conventions and cut by the
// same word separators as a run of scanmend, so that what is studied is
// what a run corrects.
//
// The words come twice: as the pages stand, and as they stand after the
// line joining of "=" (which a run does with the option word "="): a word
// broken at a line end is one word then. The words that the line ends
// break, and their pieces, come apart, for the tools to judge the joining.
//
// The lists of a Book are in byte order; mostFrequentFirst orders a list by
// count.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "files/text_files.h"

namespace scanmend {

struct BookWord {
  BookWord() = default;
  BookWord(std::string text, std::int64_t count, std::vector<std::int64_t> pages = {})
      : text(std::move(text)), count(count), pages(std::move(pages)) {}

  std::string text;
  std::int64_t count = 0;
  std::vector<std::int64_t> pages;  // the numbers of the pages it occurs on, ascending, each once
};

struct Book {
  std::int64_t pages = 0;
  std::int64_t lineEndMarkers = 0;  // "=" at the end of a line
  std::int64_t firstUtf8Page = 0;   // the first page that looks like UTF-8, or 0
  // The distinct words as the pages stand.
  std::vector<BookWord> words;
  // The distinct words after the line joining of "=", where the pages
  // have line-end markers; else empty (the words are those of `words`).
  std::vector<BookWord> joinedWords;
  // The words that the line-end markers break, with the "=" where they
  // are broken and without the line end ("Ver=bindung").
  std::vector<BookWord> brokenWords;
  // The pieces of words broken at a line end, by "=" or by a hyphen: the
  // word before the mark and the word that starts the next line ("chen").
  std::vector<BookWord> brokenPieces;

  // The words as a run with "=" reads them: joined where there is
  // anything to join.
  const std::vector<BookWord>& wordsAsJoined() const {
    return lineEndMarkers > 0 ? joinedWords : words;
  }
};

// The pages of the working directory from in/001.txt up to the first that
// cannot be read, as a run reads them (line ends LF), and why the page
// after the last could not be read: NotOpened where the book simply ends.
struct PagesRead {
  std::vector<std::string> pages;
  ReadResult end = ReadResult::NotOpened;
};
PagesRead readPages();

// The book of these page texts, page n + 1 at index n.
Book bookOfPages(const std::vector<std::string>& pages);

// The words of these page texts as a run with "=" reads them, joined
// where the pages have line-end markers, the most frequent first: the
// words of the book alone, for a caller that needs nothing else.
std::vector<BookWord> joinedWordsOf(const std::vector<std::string>& pages);

// Whether the page holds a line-end marker "=", which the line joining acts on.
bool hasLineEndMarker(const std::string& page);

// The words ordered as the tools study them: the most frequent first, then
// in byte order.
std::vector<BookWord> mostFrequentFirst(std::vector<BookWord> words);

// How many words the list stands for: the sum of their counts.
std::int64_t occurrences(const std::vector<BookWord>& words);

}  // namespace scanmend
