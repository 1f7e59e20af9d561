// One OCR file as the correction sees it: its words line by line, each
// word a piece of a field (an attribute value or an element's text) whose
// original bytes export may replace. Reading the same bytes twice gives
// the same page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pages/xml_spans.h"

namespace scanmend::pages {

enum class Format { Alto, Page, Hocr, Text };

std::string_view formatName(Format format);
bool formatOfName(std::string_view name, Format& format);

// An editable piece of the source: the raw bytes [begin, end) and their
// decoded text. `quote` is the quote of an attribute value, 0 for
// character data; `element` the XML element it belongs to, -1 in a text
// file (whose fields are written unescaped).
struct Field {
  Offset begin = 0;
  Offset end = 0;
  std::string text;  // empty where `literal`
  char quote = 0;
  int element = -1;
  // Whether the decoded text is the raw bytes themselves (no entity, no
  // escape), which are then not copied: a text file is one such field.
  bool literal = false;

  bool operator==(const Field&) const = default;
};

// One word as the OCR program wrote it, without spaces: the UTF-8 bytes
// [from, to) of a field's text.
struct Token {
  int field = 0;
  Offset from = 0;
  Offset to = 0;

  bool operator==(const Token&) const = default;
};

// The words of a page in reading order, line by line: a page holds one of
// these for each of its words, so they are kept flat.
struct SourcePage {
  std::string_view source;  // the bytes read, which must outlive the page
  Format format = Format::Text;
  std::vector<XmlElement> elements;  // empty for a text file
  std::vector<Field> fields;
  std::vector<Token> tokens;     // through the fields in order
  std::vector<Offset> lineEnds;  // line i: tokens [lineEnds[i - 1], lineEnds[i]), never empty
  // The lines (from 0, sorted) whose last mark is a hyphen of this book's
  // own (a ":" or an "s" where the print has one), found by import; not
  // read from the file.
  std::vector<std::uint32_t> ownHyphens;

  bool operator==(const SourcePage&) const = default;

  std::size_t lineCount() const { return lineEnds.size(); }
  std::span<const Token> line(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : lineEnds[i - 1];
    return std::span<const Token>(tokens).subspan(begin, lineEnds[i] - begin);
  }
  std::string_view textOf(const Field& field) const {
    return field.literal ? source.substr(field.begin, field.end - field.begin)
                         : std::string_view(field.text);
  }
  std::string_view tokenText(const Token& token) const {
    return textOf(fields[static_cast<std::size_t>(token.field)])
        .substr(token.from, token.to - token.from);
  }
};

struct SourceError {
  std::size_t line = 0;  // 0 where no place applies
  std::size_t column = 0;
  std::string message;
};

// The place of byte `at` of `bytes` as a line and a column, both from 1.
SourceError placedAt(std::string_view bytes, std::size_t at, std::string message = "");

// Reads a file of any of the formats, detected from its content. False,
// with the reason, for a file that is none of them: malformed XML, an
// encoding other than UTF-8, bytes that are not UTF-8 text.
// With `confidences`, the page also keeps what ocrWordsOf reads: the
// confidences and alternatives that import passes on, and export needs
// not hold.
bool readSource(std::string_view bytes, SourcePage& page, SourceError& error,
                bool confidences = false);

// What the first bytes of a file show it to be, as readSource would read
// it: a format, or nothing for a file of no OCR format, with what it is
// in `what` ("an image (PNG)", "tesseract's TSV", "XML of another kind
// (root element \"mets\")"). A few kilobytes from its start tell.
std::optional<Format> formatOfStart(std::string_view start, std::string& what);

// The edits that give the source the new texts of the fields that
// changed: `newTexts[i]` is field i's decoded text after the correction,
// nothing for a field that is unchanged and not touched. Formats keep their
// dependent texts right: ALTO's SUBS_CONTENT and CC, PAGE's line and
// region texts, and ALTO records the correction as a processing step.
using NewTexts = std::vector<std::optional<std::string>>;
std::vector<Edit> sourceEdits(std::string_view bytes, const SourcePage& page, NewTexts newTexts);

}  // namespace scanmend::pages
