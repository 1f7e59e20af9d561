// One OCR file as the correction sees it: its words line by line, each
// word a piece of a field (an attribute value or an element's text) whose
// original bytes export may replace. Reading the same bytes twice gives
// the same page.
#pragma once

#include <cstddef>
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
  std::size_t begin = 0;
  std::size_t end = 0;
  std::string text;
  char quote = 0;
  int element = -1;

  bool operator==(const Field&) const = default;
};

// One word as the OCR program wrote it, without spaces: the UTF-8 bytes
// [from, to) of a field's text.
struct Token {
  int field = 0;
  std::size_t from = 0;
  std::size_t to = 0;

  bool operator==(const Token&) const = default;
};

struct SourcePage {
  Format format = Format::Text;
  std::vector<XmlElement> elements;  // empty for a text file
  std::vector<Field> fields;
  std::vector<std::vector<Token>> lines;  // no line is empty

  bool operator==(const SourcePage&) const = default;

  std::string_view tokenText(const Token& token) const {
    return std::string_view(fields[static_cast<std::size_t>(token.field)].text)
        .substr(token.from, token.to - token.from);
  }
};

struct SourceError {
  std::size_t line = 0;  // 0 where no place applies
  std::size_t column = 0;
  std::string message;
};

// Reads a file of any of the formats, detected from its content. False,
// with the reason, for a file that is none of them: malformed XML, an
// encoding other than UTF-8, bytes that are not UTF-8 text.
bool readSource(std::string_view bytes, SourcePage& page, SourceError& error);

// The edits that give the source the new texts of the fields that
// changed: `newTexts[i]` is field i's decoded text after the correction,
// and fields whose text is unchanged are not touched. Formats keep their
// dependent texts right: ALTO's SUBS_CONTENT and CC, PAGE's line and
// region texts, and ALTO records the correction as a processing step.
std::vector<Edit> sourceEdits(std::string_view bytes, const SourcePage& page,
                              const std::vector<std::string>& newTexts);

}  // namespace scanmend::pages
