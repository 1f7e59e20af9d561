// The marks that this book's OCR writes for the printed hyphen at a line's
// end, beside "-", "=", the soft hyphen and the Fraktur double hyphen:
// tesseract reads the double hyphen also as ":", "?", "*" or an "s"
// ("Unm\xFCns" for "Unm\xFCn-"). A mark that is no letter is the book's
// hyphen where the
// words that it ends, joined with the next line's first word, make
// dictionary words far more often than line ends make them by chance. A
// line end with such a mark is then joined where the word with its mark
// is no dictionary word, and either the joined word is one or its halves
// are not both words ("Haus:" before "und" stays).
//
// scanmend-learn does the same on text pages.
// Import writes the lines so joined in hyphens.tsv (tab-separated, page
// and line, both from 1), and their page text ends them with "=",
// as for a hyphen; export reads it to line the corrected pages up again.
// The mark itself stays in the source, as a hyphen does.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/sorted_words.h"

namespace scanmend {

inline constexpr std::string_view kHyphensFile = "hyphens.tsv";

// The lines of a page, from 0, whose last mark is the book's hyphen.
using HyphenLines = std::vector<std::uint32_t>;
// By page number.
using BookHyphens = std::map<std::int64_t, HyphenLines>;

// Notes the line ends of a book one at a time: those that end in a mark
// that is no letter, no digit and no hyphen yet, and a sample of those
// that end in a letter, for the chance. A hyphen read as a letter ("s")
// is not learned: telling it would take the dictionary to every import.
class HyphenFinder {
 public:
  // One line end: the line's last piece and the next line's first, as the
  // page shows them (Windows-1252).
  void add(std::int64_t page, std::uint32_t line, std::string_view last, std::string_view next);
  // Whether some mark ends enough lines to be learned at all; only then
  // is the dictionary needed.
  bool worthLooking() const;
  // The line ends to join, at the marks that `words` shows are this
  // book's hyphen.
  BookHyphens found(const SortedWords& words) const;

 private:
  struct LineEnd {
    std::int64_t page;
    std::uint32_t line;
    std::string head;  // the letters before the mark
    char mark;
    std::string next;  // the letters that begin the next line
  };
  std::vector<LineEnd> marked_;
  std::vector<std::pair<std::string, std::string>> plain_;  // line ends in a letter
  std::map<char, std::size_t> ends_;                        // by mark
};

// Text pages (Windows-1252, lines ended by LF or CR LF, words separated
// by spaces) with the marks that `words` shows are this book's hyphen made
// "=" where their line ends are joined; the number of such line ends.
std::size_t markOwnHyphens(std::vector<std::string>& pages, const SortedWords& words);

std::string hyphensTable(const BookHyphens& hyphens);
// False for a table of any other shape.
bool readHyphensTable(std::string_view table, BookHyphens& hyphens);

}  // namespace scanmend
