// Words that a line end breaks on a text page, where no "=" says so:
// tesseract writes the printed hyphen as "-" (or "\xAC", or a soft
// hyphen), and now and then reads it as a letter or a mark ("Mans" and
// "gel" for "Man-" and "gel", "Offi!" and "zier"). Such a word is decided
// whole and written back in its two places, each half on its line: its
// halves alone are no words, and a line-start fragment corrected on its
// own becomes some other word ("lich" read as "lieh").
//
// A line end breaks a word where the next line begins with a small letter
// and either the line ends in a hyphen after a letter and the halves are
// not both words ("Nord-" before "und" stays), or it ends in a letter or
// mark that the joined word does without: the word with it is no word,
// the word without it joined with the next line's first is one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/sorted_words.h"

namespace scanmend::learn {

struct BrokenWord {
  // The first half's letters, then the mark that ends its line (a hyphen,
  // or the letter or mark read for one), then the second half's letters:
  // byte ranges of the page.
  std::size_t headBegin, headEnd;
  std::size_t markBegin, markEnd;
  std::size_t tailBegin, tailEnd;
  // Whether the mark is a hyphen as printed; otherwise it was misread, and
  // is written as "-" (unless the learner is asked to keep marks as read).
  bool hyphen;
};

// The page's broken words, in order.
std::vector<BrokenWord> brokenWordsOf(std::string_view page, const SortedWords& lexicon);

// The page with each broken word joined on its first line, for counting
// the book's words: the second half moves up, and its line is left with
// what followed it.
std::string withBrokenWordsJoined(std::string_view page, const std::vector<BrokenWord>& broken);

// The two halves of `decided`, the word decided for the joined `read`
// whose first half had `headLength` bytes: the change goes to the half
// that holds it, and a change across the break keeps the first half's
// length.
std::pair<std::string, std::string> splitAtBreak(std::string_view read, std::size_t headLength,
                                                 std::string_view decided);

}  // namespace scanmend::learn
