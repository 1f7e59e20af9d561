// A book as the advisor sees it: the distinct words of its pages with how
// often each occurs, read from in/001.txt, in/002.txt, ... by the same file
// conventions and the same word separators as a run of scanmend, so that
// what is weighed here is what a run will correct.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scanmend::advise {

struct BookWord {
  std::string text;
  std::int64_t count = 0;
};

struct Book {
  std::int64_t pages = 0;
  std::int64_t lineEndMarkers = 0;  // "=" at the end of a line
  std::int64_t firstUtf8Page = 0;   // the first page that looks like UTF-8, or 0
  // The distinct words in byte order, as the pages stand and as they
  // stand after the line joining of "=".
  std::vector<BookWord> words;
  std::vector<BookWord> joinedWords;
  // The words that the line-end markers break, with the "=" where they
  // are broken and without the line end ("Ver=bindung").
  std::vector<BookWord> brokenWords;
  // The pieces of words broken at a line end, by "=" or by a hyphen: the
  // word before the mark and the word that starts the next line ("chen").
  std::vector<BookWord> brokenPieces;
};

// Reads the pages of the working directory from in/001.txt up to the first
// that cannot be read, as a run does. False when there is no in/001.txt.
bool readBook(Book& book);

// The book of these page texts (as read, line ends LF).
Book bookOfPages(const std::vector<std::string>& pages);

}  // namespace scanmend::advise
