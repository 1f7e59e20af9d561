// An XML file as the byte spans of its elements, so that export can patch
// the original bytes instead of writing a tree anew: a tree written back
// changes quotes, entities, empty elements and attribute order, and a file
// must come back byte for byte wherever no word changed.
//
// Names are the local names, any namespace prefix dropped: OCR files use
// several namespaces for the same elements, and some none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scanmend::pages {

// Places in a file are 32 bits: no file of more than 1 GiB is read, and
// the elements of a large file are many.
using Offset = std::uint32_t;

// A local name, as the file has it: each distinct name is kept once for
// the whole run (a file has a few dozen), and every element and attribute
// of that name refers to it.
using XmlName = std::string_view;
XmlName internedName(std::string_view name);

struct XmlAttribute {
  XmlName name;       // local name
  std::string value;  // decoded (entities resolved), UTF-8
  Offset valueBegin;  // the raw value between its quotes: [valueBegin, valueEnd)
  Offset valueEnd;

  bool operator==(const XmlAttribute&) const = default;
};

struct XmlElement {
  XmlName name;         // local name
  int parent = -1;      // index of the enclosing element kept, -1 for the root
  Offset tagBegin = 0;  // the start tag: [tagBegin, tagEnd)
  Offset tagEnd = 0;
  Offset contentBegin = 0;  // between the start and the end tag; empty for <a/>
  Offset contentEnd = 0;
  bool holdsElements = false;  // it holds elements, kept or not
  std::vector<XmlAttribute> attributes;
  // The decoded character data inside it, UTF-8; in an element that holds
  // elements, that before the first of them, and only where it is more
  // than white space.
  std::string text;

  const XmlAttribute* attribute(std::string_view local) const;
  bool operator==(const XmlElement&) const = default;
};

struct XmlError {
  std::size_t line = 0;  // 1-based
  std::size_t column = 0;
  std::string message;
};

// The largest file read.
inline constexpr std::size_t kMostXmlBytes = std::size_t{1} << 30;

// Which elements a reader needs, from the local names of the root and of
// the element; the others are not kept (their contents may be).
using ElementFilter = bool (*)(std::string_view root, std::string_view name);

// The elements of a well-formed document, in document order. False, with
// the place and the reason in `error`, for any other bytes. Only the
// attributes named in `keptAttributes` are kept, all when it is empty, and
// only the elements that `keptElements` names, all when it is null: a
// reader that needs a few of them should not pay for copying the rest.
// With `keptValue`, an attribute that `keptAttributes` names is kept only
// where that says so of its name and value.
using AttributeFilter = bool (*)(std::string_view name, std::string_view value);
bool parseXml(std::string_view bytes, std::vector<XmlElement>& elements, XmlError& error,
              std::span<const std::string_view> keptAttributes = {},
              ElementFilter keptElements = nullptr, AttributeFilter keptValue = nullptr);

// One replacement of original bytes: [begin, end) becomes `text`.
struct Edit {
  std::size_t begin;
  std::size_t end;
  std::string text;
};

// The source with the edits applied; they must not overlap.
std::string applyEdits(std::string_view source, std::vector<Edit> edits);
// The same a piece at a time, for a file written as it is made: edits
// sorted by their place, each piece handed to `write`, which says whether
// it was written. False once one was not.
bool forEachEditedPiece(std::string_view source, const std::vector<Edit>& edits,
                        const std::function<bool(std::string_view)>& write);

// The white space of XML: space, tab, CR, LF.
inline bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// UTF-8 text as an attribute value between `quote`s, or as character data.
std::string escapeAttribute(std::string_view text, char quote);
std::string escapeText(std::string_view text);

}  // namespace scanmend::pages
