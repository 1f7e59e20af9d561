// The text page that import writes for a source, and the way back: which
// bytes of a corrected page are which word of the source.
//
// A line of the source becomes a line of the page, its words joined by a
// space. A word hyphenated at a line end ("Gesell-", "Gesell" with a
// hyphen of its own, "Gesell\u2E17", a soft hyphen) ends the line with
// "=", the form that the correction's "=" joins, and so does a line whose
// last mark is the book's own hyphen (SourcePage::ownHyphens); the hyphen
// itself stays in the source.
//
// A corrected page lines up with the page as imported when it has the
// same words in the same lines, or the words and lines that the line-end
// "=" joining makes of them, and between them the same bytes: a
// correction changes words, and of the rest only a line-end "=" into "-".
// A joined word goes back to its two halves; a corrected word keeps the
// source's characters wherever the correction left a letter as it was.
//
// A large file holds many words: the page is made a line at a time, and
// the way back goes through the corrected page word by word, holding only
// the fields that change.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/characters.h"
#include "pages/source_page.h"

namespace scanmend::pages {

// The lines of a source's page text, one at a time.
class PageLines {
 public:
  explicit PageLines(const SourcePage& page) : page_(page) {}

  // Moves to the next line; false after the last.
  bool next();
  // The line's bytes (Windows-1252, without its line feed), and where the
  // bytes of each of its tokens stand in them.
  std::string_view text() const { return text_; }
  struct Piece {
    std::size_t token;  // index into the page's tokens
    std::size_t start;  // in text()
    std::size_t length;
  };
  const std::vector<Piece>& pieces() const { return pieces_; }

 private:
  const SourcePage& page_;
  std::size_t line_ = 0;
  std::string text_;
  std::vector<Piece> pieces_;
};

// The whole page text, every line ended by "\n".
std::string makePageText(const SourcePage& page);

// The decoded text of each field after a correction, nothing where the
// field stays as it is.
using FieldTexts = NewTexts;

// The field texts after the correction that gave `corrected` from the page
// text of `source`. False, with the reason, when the corrected page does
// not line up with the imported one.
bool correctedFieldTexts(const SourcePage& source, std::string_view corrected,
                         FieldTexts& fieldTexts, std::string& reason);
// The changed words of a text file, in the order of the file, held in
// little room: a large file has millions of them.
class WordEdits {
 public:
  void clear();
  void add(Offset begin, Offset end, std::string_view text);
  std::size_t size() const { return places_.size(); }
  // The file with the edits applied, a piece at a time: false once
  // `write` says a piece was not written.
  bool forEachPiece(std::string_view source,
                    const std::function<bool(std::string_view)>& write) const;

 private:
  struct Place {
    Offset begin;
    Offset end;
    std::uint64_t textEnd;  // in texts_
  };
  std::vector<Place> places_;
  std::string texts_;
};

// The same for a text file, as the edits of its changed words: its one
// field's new text would be held whole.
bool correctedTextEdits(const SourcePage& source, std::string_view corrected, WordEdits& edits,
                        std::string& reason);

}  // namespace scanmend::pages

namespace scanmend::pages {

// How many words of the page as imported each word of the page joined at
// its line-end "=" stands for, in order: 1, or 2 and more where a word
// broken at a line end was joined.
std::vector<std::size_t> joinedWordWidths(const SourcePage& page);

}  // namespace scanmend::pages
