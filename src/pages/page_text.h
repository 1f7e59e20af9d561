// The text page that import writes for a source, and the way back: which
// bytes of a corrected page are which word of the source.
//
// A line of the source becomes a line of the page, its words joined by a
// space. A word hyphenated at a line end ("Gesell-", "Gesell" with a
// hyphen of its own, "Gesell\u2E17", a soft hyphen) ends the line with
// "=", the form that the correction's "=" joins; the hyphen itself stays
// in the source.
//
// A corrected page lines up with the page as imported when it has the
// same words, or the words that the line-end "=" joining makes of them.
// A joined word goes back to its two halves; a corrected word keeps the
// source's characters wherever the correction left a letter as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pages/characters.h"
#include "pages/source_page.h"

namespace scanmend::pages {

struct PageText {
  std::string text;  // Windows-1252, every line ended by "\n"
  struct Piece {
    Token token;
    ImportedText imported;
    std::size_t start = 0;  // where its bytes begin in `text`
  };
  std::vector<Piece> pieces;  // the source's words in reading order
};

PageText makePageText(const SourcePage& page);

// The decoded text of every field after the correction that gave
// `corrected` from `page.text`. False, with the reason, when the
// corrected page does not line up with the imported one.
bool correctedFieldTexts(const SourcePage& source, const PageText& page,
                         std::string_view corrected, std::vector<std::string>& fieldTexts,
                         std::string& reason);

}  // namespace scanmend::pages
