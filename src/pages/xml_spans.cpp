#include "pages/xml_spans.h"

#include <expat.h>

#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <unordered_set>

namespace scanmend::pages {
namespace {

std::string_view localName(std::string_view full) {
  const std::size_t colon = full.rfind(':');
  return colon == std::string_view::npos ? full : full.substr(colon + 1);
}

struct Parse {
  std::string_view bytes;
  XML_Parser parser;
  std::vector<XmlElement>* elements;
  std::span<const std::string_view> kept;
  ElementFilter keptElements;
  AttributeFilter keptValue;
  std::string root;       // the local name of the root, once it has begun
  std::vector<int> open;  // the elements not yet closed, innermost last; -1 where not kept
  std::string refused;    // why the parse was stopped, or empty
};

// The innermost open element that is kept, or -1.
int innermostKept(const Parse& parse) {
  for (auto at = parse.open.rbegin(); at != parse.open.rend(); ++at)
    if (*at >= 0) return *at;
  return -1;
}

bool keeps(const Parse& parse, std::string_view name) {
  return parse.kept.empty() ||
         std::find(parse.kept.begin(), parse.kept.end(), name) != parse.kept.end();
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto& parse = *static_cast<Parse*>(data);
  // An element that an entity's replacement text holds has no bytes of its
  // own in the file (expat names the entity reference as its place):
  // nothing of it could be patched in place.
  const auto index = static_cast<std::size_t>(XML_GetCurrentByteIndex(parse.parser));
  if (index >= parse.bytes.size() || parse.bytes[index] != '<') {
    parse.refused = "an element comes from an entity (" + std::string(localName(name)) +
                    "); only elements written in the file can be corrected";
    XML_StopParser(parse.parser, XML_FALSE);
    return;
  }
  // The element that holds this one holds elements: of its text only what
  // comes before its first child is kept, and only where it is more than
  // white space (the word in an hOCR word that lists its letters'
  // alternatives after it).
  if (!parse.open.empty() && parse.open.back() >= 0) {
    XmlElement& holder = (*parse.elements)[static_cast<std::size_t>(parse.open.back())];
    if (!holder.holdsElements && std::all_of(holder.text.begin(), holder.text.end(), isXmlSpace))
      holder.text.clear();
    holder.holdsElements = true;
  }
  const std::string_view local = localName(name);
  if (parse.open.empty()) parse.root = local;
  if (parse.keptElements != nullptr && !parse.open.empty() &&
      !parse.keptElements(parse.root, local)) {
    parse.open.push_back(-1);
    return;
  }
  XmlElement element;
  element.name = internedName(local);
  element.parent = innermostKept(parse);
  element.tagBegin = static_cast<Offset>(index);
  element.tagEnd =
      static_cast<Offset>(index + static_cast<std::size_t>(XML_GetCurrentByteCount(parse.parser)));
  element.contentBegin = element.contentEnd = element.tagEnd;
  // Only the attributes the tag itself holds; a DTD's defaults have no
  // bytes. Expat hands them over decoded and in the order of the tag, so
  // the k-th value between quotes there is the raw value of the k-th.
  const std::string_view tag =
      parse.bytes.substr(element.tagBegin, element.tagEnd - element.tagBegin);
  std::size_t at = 1;
  const int specified = XML_GetSpecifiedAttributeCount(parse.parser);
  // Room for the attributes kept, and no more: a large file has many
  // elements.
  std::size_t kept = 0;
  for (int k = 0; k < specified && attributes[k] != nullptr; k += 2) {
    const std::string_view attributeName = localName(attributes[k]);
    kept += keeps(parse, attributeName) &&
            (parse.keptValue == nullptr || parse.keptValue(attributeName, attributes[k + 1]));
  }
  element.attributes.reserve(kept);
  for (int k = 0; k < specified && attributes[k] != nullptr; k += 2) {
    at = tag.find('=', at);
    if (at == std::string_view::npos) break;
    ++at;
    while (isXmlSpace(tag[at])) ++at;
    const std::size_t close = tag.find(tag[at], at + 1);
    const std::size_t open = at;
    at = close + 1;
    const std::string_view attributeName = localName(attributes[k]);
    if (!keeps(parse, attributeName) ||
        (parse.keptValue != nullptr && !parse.keptValue(attributeName, attributes[k + 1])))
      continue;
    element.attributes.push_back({internedName(attributeName), attributes[k + 1],
                                  static_cast<Offset>(element.tagBegin + open + 1),
                                  static_cast<Offset>(element.tagBegin + close)});
  }
  parse.open.push_back(static_cast<int>(parse.elements->size()));
  parse.elements->push_back(std::move(element));
}

void XMLCALL onEnd(void* data, const XML_Char*) {
  auto& parse = *static_cast<Parse*>(data);
  const int closed = parse.open.back();
  parse.open.pop_back();
  if (closed < 0) return;
  XmlElement& element = (*parse.elements)[static_cast<std::size_t>(closed)];
  // An empty-element tag ends where it starts, with no bytes of its own.
  if (XML_GetCurrentByteCount(parse.parser) > 0)
    element.contentEnd = static_cast<Offset>(XML_GetCurrentByteIndex(parse.parser));
}

// An element keeps its text up to its first child element: no reader uses
// the rest of mixed content, and the white space between the elements of
// a layout need not be copied.
void XMLCALL onText(void* data, const XML_Char* text, int length) {
  auto& parse = *static_cast<Parse*>(data);
  if (parse.open.empty() || parse.open.back() < 0) return;
  XmlElement& innermost = (*parse.elements)[static_cast<std::size_t>(parse.open.back())];
  if (!innermost.holdsElements) innermost.text.append(text, static_cast<std::size_t>(length));
}

// How many start tags the bytes may hold: each "<" before a name.
std::size_t startTagsIn(std::string_view bytes) {
  std::size_t count = 0;
  for (std::size_t at = bytes.find('<'); at != std::string_view::npos; at = bytes.find('<', at + 1))
    if (at + 1 < bytes.size() && bytes[at + 1] != '/' && bytes[at + 1] != '!' &&
        bytes[at + 1] != '?')
      ++count;
  return count;
}

struct ParserFree {
  void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

}  // namespace

XmlName internedName(std::string_view name) {
  static std::unordered_set<std::string> names;
  return *names.emplace(name).first;
}

const XmlAttribute* XmlElement::attribute(std::string_view local) const {
  for (const XmlAttribute& candidate : attributes)
    if (candidate.name == local) return &candidate;
  return nullptr;
}

bool parseXml(std::string_view bytes, std::vector<XmlElement>& elements, XmlError& error,
              std::span<const std::string_view> keptAttributes, ElementFilter keptElements,
              AttributeFilter keptValue) {
  elements.clear();
  if (bytes.size() > kMostXmlBytes) {
    error = {1, 1, "file larger than 1 GiB"};
    return false;
  }
  // Room for every element at once: a large file's elements grown by
  // doubling would be held one and a half times over while they move. Room
  // for those not kept is never touched, and takes no memory.
  elements.reserve(startTagsIn(bytes));
  const std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate(nullptr));
  Parse parse{bytes, parser.get(), &elements, keptAttributes, keptElements, keptValue, {}, {}, {}};
  XML_SetUserData(parser.get(), &parse);
  XML_SetElementHandler(parser.get(), onStart, onEnd);
  XML_SetCharacterDataHandler(parser.get(), onText);
  // Handed over a piece at a time: expat copies what it is given into a
  // buffer of its own, which would double a large file. Its byte indices
  // count from the start of the whole document all the same.
  constexpr std::size_t kPiece = 1 << 16;
  bool parsed = true;
  for (std::size_t at = 0; parsed; at += kPiece) {
    const std::size_t length = std::min(kPiece, bytes.size() - std::min(at, bytes.size()));
    const bool last = at + length >= bytes.size();
    parsed = XML_Parse(parser.get(), bytes.data() + at, static_cast<int>(length),
                       last ? XML_TRUE : XML_FALSE) == XML_STATUS_OK;
    if (parsed && last) return true;
  }
  error.line = static_cast<std::size_t>(XML_GetCurrentLineNumber(parser.get()));
  error.column = static_cast<std::size_t>(XML_GetCurrentColumnNumber(parser.get())) + 1;
  error.message =
      parse.refused.empty() ? XML_ErrorString(XML_GetErrorCode(parser.get())) : parse.refused;
  elements.clear();
  return false;
}

std::string applyEdits(std::string_view source, std::vector<Edit> edits) {
  std::sort(edits.begin(), edits.end(),
            [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
  // Sized once: a large file grown by doubling would be held twice over.
  std::size_t size = source.size();
  for (const Edit& edit : edits) size = size - (edit.end - edit.begin) + edit.text.size();
  std::string out;
  out.reserve(size);
  forEachEditedPiece(source, edits, [&out](std::string_view piece) {
    out.append(piece);
    return true;
  });
  return out;
}

bool forEachEditedPiece(std::string_view source, const std::vector<Edit>& edits,
                        const std::function<bool(std::string_view)>& write) {
  std::size_t copied = 0;
  for (const Edit& edit : edits) {
    if (!write(source.substr(copied, edit.begin - copied)) || !write(edit.text)) return false;
    copied = edit.end;
  }
  return write(source.substr(copied));
}

namespace {

// Character data escapes "&", "<" and ">" (so "]]>" can never appear); an
// attribute value "&", "<" and its own quote.
std::string escape(std::string_view text, bool inAttribute, char quote) {
  std::string out;
  for (const char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (!inAttribute && c == '>') {
      out += "&gt;";
    } else if (inAttribute && c == quote) {
      out += quote == '"' ? "&quot;" : "&apos;";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string escapeAttribute(std::string_view text, char quote) { return escape(text, true, quote); }

std::string escapeText(std::string_view text) { return escape(text, false, 0); }

}  // namespace scanmend::pages
