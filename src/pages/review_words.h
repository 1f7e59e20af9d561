// The words of a page as imported and what the correction made of each:
// which word of a corrected page (out/NNN.txt) stands for which words of
// the page as imported (in/NNN.txt, made anew from the source). A word of
// the corrected page is one imported word, or the halves of a word that a
// line-end "=" joined. The review lists each, and the user's decisions are
// written back into the corrected page through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pages/source_page.h"

namespace scanmend::pages {

// A word of the page as imported, as the correction cuts words: a token
// of the source ("Haus," or "Schweren-vnd") holds one or more.
struct ImportedWord {
  std::uint32_t line = 0;    // the page's line, from 0
  std::uint32_t number = 0;  // among the words of its line, from 1
  std::uint32_t spaced = 0;  // among the space-separated pieces of its line, from 1 (ocr.tsv's)
  std::size_t token = 0;     // the source's token it lies in
  std::size_t from = 0;      // its bytes in the token's bytes on the page: [from, to)
  std::size_t to = 0;
  std::string text;  // Windows-1252, as the page shows it
};

// A word of the corrected page: the imported words [first, first + count),
// written as `text`, which stands at byte `at` of the corrected page.
struct CorrectedWord {
  std::size_t first = 0;
  std::size_t count = 1;
  std::size_t at = 0;
  std::string text;  // Windows-1252
};

struct PageAlignment {
  std::vector<ImportedWord> imported;
  std::vector<CorrectedWord> corrected;
  // The imported words of the corrected word, as the correction saw them
  // (joined halves run together).
  std::string readOf(const CorrectedWord& word) const;
};

// The words of the page text of `source`, in order.
std::vector<ImportedWord> importedWords(const SourcePage& source);

// Lines `corrected` up with the page text of `source` word by word. False,
// with the reason, for a corrected page with other words than the import
// gives, as one made from another import.
bool alignCorrectedPage(const SourcePage& source, std::string_view corrected,
                        PageAlignment& alignment, std::string& reason);

// `corrected` with word `index` of the alignment written as `text`, which
// must be one word (no separator in it); the alignment's words after it
// move along.
void rewriteCorrectedWord(std::string& corrected, PageAlignment& alignment, std::size_t index,
                          std::string_view text);

}  // namespace scanmend::pages
