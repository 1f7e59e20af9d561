#include "pages/source_page.h"

#include <algorithm>
#include <array>

#include "base/windows1252.h"
#include "pages/characters.h"
#include "pages/formats.h"

namespace scanmend::pages {
namespace {

constexpr std::array<std::string_view, 4> kFormatNames{"alto", "page", "hocr", "text"};

// The attributes that the formats' readers and edits use; the others (the
// boxes, above all) are only ever copied as bytes.
constexpr std::array<std::string_view, 6> kUsedAttributes{"CONTENT", "SUBS_CONTENT", "SUBS_TYPE",
                                                          "CC",      "class",        "id"};
// With them, the confidences and alternatives: ALTO's WC, GC and VC, PAGE's
// conf and index, hOCR's title where it holds a confidence.
constexpr std::array<std::string_view, 12> kConfidenceAttributes{
    "CONTENT", "SUBS_CONTENT", "SUBS_TYPE", "CC",   "class", "id",
    "WC",      "GC",           "VC",        "conf", "index", "title"};

bool keptConfidenceValue(std::string_view name, std::string_view value) {
  return name != "title" || value.find("x_wconf") != std::string_view::npos ||
         value.find("x_confs") != std::string_view::npos;
}

// The encoding an XML declaration names, or "" without one.
std::string declaredEncoding(std::string_view bytes) {
  if (bytes.substr(0, 5) != "<?xml") return "";
  const std::size_t end = bytes.find("?>");
  const std::string_view declaration = bytes.substr(0, end);
  const std::size_t name = declaration.find("encoding");
  if (name == std::string_view::npos) return "";
  std::size_t at = declaration.find_first_of("\"'", name);
  if (at == std::string_view::npos) return "";
  const std::size_t close = declaration.find(declaration[at], at + 1);
  if (close == std::string_view::npos) return "";
  std::string encoding(declaration.substr(at + 1, close - at - 1));
  for (char& c : encoding)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return encoding;
}

// The UTF-16 or UTF-32 that `bytes` are in, by their byte-order mark or,
// without one, by the zero bytes that such text of mostly ASCII characters
// has at fixed places; "" for neither. A file of UTF-8 text has no zero
// byte at all.
std::string_view wideEncodingOf(std::string_view bytes) {
  if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4))) return "UTF-32LE";
  if (bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4))) return "UTF-32BE";
  if (bytes.starts_with("\xFF\xFE")) return "UTF-16LE";
  if (bytes.starts_with("\xFE\xFF")) return "UTF-16BE";
  const std::size_t sample = std::min<std::size_t>(bytes.size(), 512) / 4 * 4;
  if (sample == 0) return "";
  std::array<std::size_t, 4> zeros{};  // by the place in a group of four bytes
  for (std::size_t i = 0; i < sample; ++i) zeros[i % 4] += bytes[i] == '\0';
  const std::size_t groups = sample / 4;
  const auto mostly = [groups](std::size_t count) { return 10 * count >= 9 * groups; };
  const auto rarely = [groups](std::size_t count) { return 2 * count < groups; };
  if (mostly(zeros[1]) && mostly(zeros[2]) && mostly(zeros[3]) && rarely(zeros[0]))
    return "UTF-32LE";
  if (mostly(zeros[0]) && mostly(zeros[1]) && mostly(zeros[2]) && rarely(zeros[3]))
    return "UTF-32BE";
  if (mostly(zeros[1]) && mostly(zeros[3]) && rarely(zeros[0]) && rarely(zeros[2]))
    return "UTF-16LE";
  if (mostly(zeros[0]) && mostly(zeros[2]) && rarely(zeros[1]) && rarely(zeros[3]))
    return "UTF-16BE";
  return "";
}

// What a file that no OCR format reads is, where its first bytes tell:
// the page images and tesseract's other outputs that lie beside its ALTO,
// hOCR and text, and documents that are no text at all; "" otherwise.
std::string_view otherKindOf(std::string_view bytes) {
  static constexpr std::pair<std::string_view, std::string_view> kSignatures[] = {
      {"\x89PNG\r\n\x1A\n", "an image (PNG)"},
      {"\xFF\xD8\xFF", "an image (JPEG)"},
      {std::string_view("II*\0", 4), "an image (TIFF)"},
      {std::string_view("MM\0*", 4), "an image (TIFF)"},
      {std::string_view("\0\0\0\x0CjP  ", 8), "an image (JPEG 2000)"},
      {"\xFF\x4F\xFF\x51", "an image (JPEG 2000)"},
      {"GIF87a", "an image (GIF)"},
      {"GIF89a", "an image (GIF)"},
      {"%PDF", "a PDF document"},
      {"PK\x03\x04", "a ZIP archive"},
      {"\x1F\x8B", "a gzip archive"},
      {"level\tpage_num\tblock_num\tpar_num\tline_num\tword_num", "tesseract's TSV"},
  };
  for (const auto& [signature, what] : kSignatures)
    if (bytes.starts_with(signature)) return what;
  // WebP: RIFF, a size, WEBP; BMP: BM, a size, four zero bytes.
  // A file shorter than the signature is text that happens to start so.
  if (bytes.size() >= 12 && bytes.starts_with("RIFF") && bytes.substr(8, 4) == "WEBP")
    return "an image (WebP)";
  if (bytes.size() >= 10 && bytes.starts_with("BM") &&
      bytes.substr(6, 4) == std::string_view("\0\0\0\0", 4))
    return "an image (BMP)";
  return "";
}

// The local name of the root element of XML that starts at `start`, or ""
// where the first bytes do not show it.
std::string rootNameOf(std::string_view bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    while (at < bytes.size() && isXmlSpace(bytes[at])) ++at;
    const std::string_view rest = bytes.substr(at);
    // Past what ends a declaration, a comment or a document type
    // declaration (whose internal subset may hold '>').
    const auto past = [&](std::size_t end, std::size_t length) {
      return end == std::string_view::npos ? end : end + length;
    };
    if (rest.starts_with("<?")) {
      at = past(bytes.find("?>", at), 2);
    } else if (rest.starts_with("<!--")) {
      at = past(bytes.find("-->", at), 3);
    } else if (rest.starts_with("<!")) {
      const std::size_t subset = bytes.find('[', at);
      const std::size_t close = bytes.find('>', at);
      at = subset < close ? past(bytes.find("]>", subset), 2) : past(close, 1);
    } else if (rest.starts_with("<")) {
      std::size_t end = 1;
      while (end < rest.size() && !isXmlSpace(rest[end]) && rest[end] != '>' && rest[end] != '/')
        ++end;
      std::string_view name = rest.substr(1, end - 1);
      if (const std::size_t colon = name.find(':'); colon != std::string_view::npos)
        name.remove_prefix(colon + 1);
      return std::string(name);
    } else {
      return "";
    }
    if (at == std::string_view::npos) return "";
  }
  return "";
}

bool readXml(std::string_view bytes, std::size_t start, SourcePage& page, SourceError& error,
             bool confidences) {
  const std::string encoding = declaredEncoding(bytes.substr(start));
  if (!encoding.empty() && encoding != "utf-8" && encoding != "utf8") {
    error = {1, 1, "declares the encoding \"" + encoding + "\"; only UTF-8 files can be read"};
    return false;
  }
  XmlError xmlError;
  const bool parsed =
      confidences ? parseXml(bytes, page.elements, xmlError, kConfidenceAttributes,
                             detail::keptElement, keptConfidenceValue)
                  : parseXml(bytes, page.elements, xmlError, kUsedAttributes, detail::keptElement);
  if (!parsed) {
    error = {xmlError.line, xmlError.column, xmlError.message};
    return false;
  }
  // Room for a field and a word of every element at most, for the reason
  // that parseXml makes room for the elements.
  page.fields.reserve(page.elements.size());
  page.tokens.reserve(page.elements.size());
  const std::string_view root = page.elements.front().name;
  bool known = false;
  if (root == "alto") {
    page.format = Format::Alto;
    known = detail::readAlto(bytes, page);
  } else if (root == "PcGts") {
    page.format = Format::Page;
    known = detail::readPageXml(page);
  } else if (root == "html") {
    page.format = Format::Hocr;
    known = detail::readHocr(page);
  }
  if (!known) {
    error = {1, 1, "XML of no known OCR format (root element \"" + std::string(root) + "\")"};
    return false;
  }
  return true;
}

}  // namespace

SourceError placedAt(std::string_view bytes, std::size_t at, std::string message) {
  SourceError error{1, 1, std::move(message)};
  for (std::size_t i = 0; i < at && i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ++error.line;
      error.column = 1;
    } else if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80) {
      ++error.column;
    }
  }
  return error;
}

std::string_view formatName(Format format) {
  return kFormatNames[static_cast<std::size_t>(format)];
}

bool formatOfName(std::string_view name, Format& format) {
  for (std::size_t i = 0; i < kFormatNames.size(); ++i) {
    if (kFormatNames[i] == name) {
      format = static_cast<Format>(i);
      return true;
    }
  }
  return false;
}

bool readSource(std::string_view bytes, SourcePage& page, SourceError& error, bool confidences) {
  page = SourcePage();
  page.source = bytes;
  if (const std::string_view wide = wideEncodingOf(bytes); !wide.empty()) {
    error = {0, 0,
             "is " + std::string(wide) + "; only UTF-8 files can be read (convert it: iconv -f " +
                 std::string(wide) + " -t UTF-8)"};
    return false;
  }
  const std::size_t start = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  std::size_t first = start;
  while (first < bytes.size() && isXmlSpace(bytes[first])) ++first;
  if (first < bytes.size() && bytes[first] == '<')
    return readXml(bytes, start, page, error, confidences);
  if (const std::string_view other = otherKindOf(bytes); !other.empty()) {
    error = {0, 0,
             "is " + std::string(other) +
                 ", not an OCR file: import reads the ALTO, PAGE, hOCR or text that OCR writes "
                 "(tesseract IMAGE NAME -l frk alto)"};
    return false;
  }

  if (const std::size_t bad = firstInvalidUtf8(bytes.substr(start));
      bad != std::string_view::npos) {
    error = placedAt(bytes, start + bad,
                     "is not UTF-8 text (pages already in Windows-1252 need no import)");
    return false;
  }
  if (bytes.size() > kMostXmlBytes) {
    error = {0, 0, "is larger than 1 GiB"};
    return false;
  }
  page.format = Format::Text;
  // The words and lines counted first: a large page's grown by doubling
  // would be held one and a half times over while they move.
  std::size_t words = 0;
  std::size_t lines = 1;
  bool inWord = false;
  for (std::size_t at = start; at < bytes.size(); ++at) {
    const bool space = isXmlSpace(bytes[at]);
    words += !space && !inWord;
    lines += bytes[at] == '\n';
    inWord = !space;
  }
  page.tokens.reserve(words);
  page.lineEnds.reserve(std::min(lines, words));
  const Field whole{static_cast<Offset>(start), static_cast<Offset>(bytes.size()), {}, 0, -1, true};
  detail::PageBuilder(page).addField(whole, true, true);
  return true;
}

std::optional<Format> formatOfStart(std::string_view start, std::string& what) {
  what.clear();
  if (const std::string_view wide = wideEncodingOf(start); !wide.empty()) {
    what = std::string(wide) + " text";
    return std::nullopt;
  }
  if (const std::string_view other = otherKindOf(start); !other.empty()) {
    what = other;
    return std::nullopt;
  }
  if (start.starts_with("\xEF\xBB\xBF")) start.remove_prefix(3);
  std::size_t first = 0;
  while (first < start.size() && isXmlSpace(start[first])) ++first;
  if (first < start.size() && start[first] == '<') {
    const std::string root = rootNameOf(start.substr(first));
    if (root == "alto") return Format::Alto;
    if (root == "PcGts") return Format::Page;
    if (root == "html") return Format::Hocr;
    what = root.empty() ? "XML" : "XML of another kind (root element \"" + root + "\")";
    return std::nullopt;
  }
  // A character cut at the end of the bytes read is no fault of the file.
  const std::size_t bad = firstInvalidUtf8(start);
  if (bad != std::string_view::npos && bad + 4 < start.size()) {
    what = "not UTF-8 text";
    return std::nullopt;
  }
  return Format::Text;
}

namespace {

std::vector<Edit> formatEdits(std::string_view bytes, const SourcePage& page, NewTexts& newTexts) {
  switch (page.format) {
    case Format::Alto:
      return detail::altoEdits(bytes, page, newTexts);
    case Format::Page:
      return detail::pageXmlEdits(bytes, page, newTexts);
    case Format::Hocr:
    case Format::Text:
      break;
  }
  std::vector<Edit> edits;
  for (std::size_t i = 0; i < page.fields.size(); ++i)
    if (newTexts[i])
      edits.push_back(detail::fieldEdit(bytes, page, page.fields[i], std::move(*newTexts[i])));
  return edits;
}

}  // namespace

std::vector<Edit> sourceEdits(std::string_view bytes, const SourcePage& page, NewTexts newTexts) {
  std::vector<Edit> edits = formatEdits(bytes, page, newTexts);
  // Fields never overlap in a file of the formats' structure; in one that
  // nests what should not nest, the later of two overlapping edits is
  // dropped, so that no byte is written twice.
  std::stable_sort(edits.begin(), edits.end(),
                   [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
  std::vector<Edit> kept;
  for (Edit& edit : edits)
    if (kept.empty() || edit.begin >= kept.back().end) kept.push_back(std::move(edit));
  return kept;
}

namespace {

// A piece of an element's raw content and the decoded text it stands for;
// a comment or processing instruction stands for none.
struct RawPiece {
  std::size_t begin;
  std::size_t end;
  std::string decoded;
  bool markup;
};

// The decoded text of a character or entity reference ("&amp;", "&#x17F;"),
// or nothing for an entity that only the document's DTD knows.
std::optional<std::string> decodedReference(std::string_view reference) {
  static constexpr std::pair<std::string_view, std::string_view> kPredefined[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}, {"&quot;", "\""}, {"&apos;", "'"}};
  for (const auto& [name, text] : kPredefined)
    if (reference == name) return std::string(text);
  if (!reference.starts_with("&#") || reference.size() < 4) return std::nullopt;
  const bool hex = reference[2] == 'x';
  std::uint32_t code = 0;
  for (std::size_t i = hex ? 3 : 2; i + 1 < reference.size(); ++i) {
    const char c = reference[i];
    const int digit = c >= '0' && c <= '9'          ? c - '0'
                      : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                    : -1;
    if (digit < 0 || code > 0x10FFFF) return std::nullopt;
    code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
  }
  std::string text;
  appendUtf8(text, code);
  return text;
}

// The raw content cut into pieces: text a character at a time, references,
// CDATA sections, comments and processing instructions. Nothing for
// content that holds what cannot be decoded here.
std::optional<std::vector<RawPiece>> rawPieces(std::string_view raw) {
  std::vector<RawPiece> pieces;
  for (std::size_t at = 0; at < raw.size();) {
    const std::string_view rest = raw.substr(at);
    std::size_t end = at + 1;
    std::string decoded;
    bool markup = false;
    if (rest.starts_with("<!--") || rest.starts_with("<?")) {
      const std::size_t close = raw.find(rest[1] == '!' ? "-->" : "?>", at);
      if (close == std::string_view::npos) return std::nullopt;
      end = close + (rest[1] == '!' ? 3 : 2);
      markup = true;
    } else if (rest.starts_with("<![CDATA[")) {
      const std::size_t close = raw.find("]]>", at);
      if (close == std::string_view::npos) return std::nullopt;
      end = close + 3;
      decoded = raw.substr(at + 9, close - at - 9);
    } else if (rest[0] == '<') {
      return std::nullopt;  // an element: no text field holds one
    } else if (rest[0] == '&') {
      const std::size_t close = raw.find(';', at);
      if (close == std::string_view::npos) return std::nullopt;
      end = close + 1;
      std::optional<std::string> text = decodedReference(raw.substr(at, end - at));
      if (!text) return std::nullopt;
      decoded = std::move(*text);
    } else if (rest.starts_with("\r\n")) {
      end = at + 2;
      decoded = "\n";
    } else {
      while (end < raw.size() && (static_cast<unsigned char>(raw[end]) & 0xC0) == 0x80) ++end;
      decoded = rest[0] == '\r' ? std::string("\n") : std::string(raw.substr(at, end - at));
    }
    pieces.push_back({at, end, std::move(decoded), markup});
    at = end;
  }
  return pieces;
}

// The edit of a field whose raw content holds markup: the pieces that hold
// the changed characters are written anew, escaped, and the comments and
// processing instructions among them follow the new text; everything
// before and after stays as it was. Nothing where the content cannot be
// cut into pieces that decode to the field's text.
std::optional<Edit> editAmidMarkup(std::string_view raw, const Field& field,
                                   std::string_view text) {
  const std::optional<std::vector<RawPiece>> pieces = rawPieces(raw);
  if (!pieces) return std::nullopt;
  std::string old;
  for (const RawPiece& piece : *pieces) old += piece.decoded;
  if (old != field.text) return std::nullopt;
  // The changed characters: [prefix, old.size() - suffix) of the old text.
  std::size_t prefix = 0;
  while (prefix < old.size() && prefix < text.size() && old[prefix] == text[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < old.size() - prefix && suffix < text.size() - prefix &&
         old[old.size() - 1 - suffix] == text[text.size() - 1 - suffix])
    ++suffix;
  // The pieces from the one holding the first changed byte (or the one
  // after an insertion) to the one holding the last.
  std::size_t first = pieces->size();
  std::size_t last = 0;
  std::size_t decoded = 0;
  std::size_t firstAt = 0;  // where the first piece's text begins in the old text
  for (std::size_t k = 0; k < pieces->size(); ++k) {
    const std::size_t length = (*pieces)[k].decoded.size();
    const bool holdsStart = decoded + length > prefix || (length > 0 && decoded == prefix);
    if (first == pieces->size() && !(*pieces)[k].markup && holdsStart) {
      first = k;
      firstAt = decoded;
    }
    if (first < pieces->size() && decoded < old.size() - suffix) last = k;
    decoded += length;
  }
  if (first == pieces->size()) return std::nullopt;  // a change at the very end
  last = std::max(last, first);
  std::size_t lastEnd = firstAt;  // where the last piece's text ends in the old text
  std::string kept;
  for (std::size_t k = first; k <= last; ++k) {
    lastEnd += (*pieces)[k].decoded.size();
    if ((*pieces)[k].markup)
      kept += raw.substr((*pieces)[k].begin, (*pieces)[k].end - (*pieces)[k].begin);
  }
  if (lastEnd < old.size() - suffix) return std::nullopt;
  std::string written(old.substr(firstAt, prefix - firstAt));
  written += text.substr(prefix, text.size() - suffix - prefix);
  written += old.substr(old.size() - suffix, lastEnd - (old.size() - suffix));
  return Edit{field.begin + (*pieces)[first].begin, field.begin + (*pieces)[last].end,
              escapeText(written) + kept};
}

}  // namespace

namespace detail {

void PageBuilder::addField(Field field, bool newLine, bool linesInside) {
  lineAsked_ = lineAsked_ || newLine;
  const int index = static_cast<int>(page_.fields.size());
  if (!field.literal && page_.source.substr(field.begin, field.end - field.begin) == field.text) {
    field.literal = true;
    field.text = std::string();
  }
  const std::string_view text = page_.textOf(field);
  for (std::size_t at = 0; at < text.size();) {
    if (text[at] == '\n' && linesInside) {
      lineAsked_ = true;
      ++at;
    } else if (isXmlSpace(text[at])) {
      ++at;
    } else {
      const std::size_t from = at;
      while (at < text.size() && !isXmlSpace(text[at])) ++at;
      if (lineAsked_ || page_.lineEnds.empty()) page_.lineEnds.push_back(0);
      lineAsked_ = false;
      page_.tokens.push_back({index, static_cast<Offset>(from), static_cast<Offset>(at)});
      page_.lineEnds.back() = static_cast<Offset>(page_.tokens.size());
    }
  }
  page_.fields.push_back(std::move(field));
}

bool keptElement(std::string_view root, std::string_view name) {
  static constexpr std::string_view kAlto[] = {"TextLine",           "String",     "HYP",
                                               "OCRProcessing",      "Processing", "Description",
                                               "postProcessingStep", "Glyph",      "Variant"};
  static constexpr std::string_view kPage[] = {"TextRegion", "TextLine",  "Word",
                                               "Glyph",      "TextEquiv", "Unicode"};
  if (root == "alto") return std::find(std::begin(kAlto), std::end(kAlto), name) != std::end(kAlto);
  if (root == "PcGts")
    return std::find(std::begin(kPage), std::end(kPage), name) != std::end(kPage);
  return true;  // hOCR: a word's text may sit in any element within it
}

Field attributeField(std::string_view bytes, const XmlAttribute& attribute, int element) {
  return Field{attribute.valueBegin, attribute.valueEnd, attribute.value,
               bytes[attribute.valueBegin - 1], element};
}

Field contentField(const XmlElement& element, int index) {
  return Field{element.contentBegin, element.contentEnd, element.text, 0, index};
}

std::string_view rawName(std::string_view bytes, const XmlElement& element) {
  std::size_t end = element.tagBegin + 1;
  while (end < element.tagEnd && !isXmlSpace(bytes[end]) && bytes[end] != '>' && bytes[end] != '/')
    ++end;
  return bytes.substr(element.tagBegin + 1, end - element.tagBegin - 1);
}

Edit fieldEdit(std::string_view bytes, const SourcePage& page, const Field& field,
               std::string text) {
  if (field.element < 0) return Edit{field.begin, field.end, std::move(text)};
  if (field.quote != 0) return Edit{field.begin, field.end, escapeAttribute(text, field.quote)};
  const XmlElement& element = page.elements[static_cast<std::size_t>(field.element)];
  const bool emptyTag = element.contentBegin == element.tagEnd &&
                        element.contentEnd == element.tagEnd && element.tagEnd >= 2 &&
                        bytes.substr(element.tagEnd - 2, 2) == "/>";
  const std::string_view raw = bytes.substr(field.begin, field.end - field.begin);
  if (raw.find('<') != std::string_view::npos) {
    // Comments, processing instructions or CDATA within the text: only the
    // changed part is written anew, and what it held of them is kept.
    if (std::optional<Edit> edit = editAmidMarkup(raw, field, text)) return std::move(*edit);
  }
  if (!emptyTag) return Edit{field.begin, field.end, escapeText(text)};
  std::string written(">");
  written.append(escapeText(text)).append("</").append(rawName(bytes, element)).append(">");
  return Edit{element.tagEnd - 2, element.tagEnd, std::move(written)};
}

Edit removeAttribute(std::string_view bytes, const XmlAttribute& attribute) {
  std::size_t begin = attribute.valueBegin - 1;  // the opening quote
  while (begin > 0 && isXmlSpace(bytes[begin - 1])) --begin;
  if (begin > 0 && bytes[begin - 1] == '=') --begin;
  while (begin > 0 && isXmlSpace(bytes[begin - 1])) --begin;
  while (begin > 0 && !isXmlSpace(bytes[begin - 1])) --begin;  // the name
  while (begin > 0 && isXmlSpace(bytes[begin - 1])) --begin;
  return Edit{begin, attribute.valueEnd + 1, ""};
}

std::size_t characterCount(std::string_view utf8) {
  std::size_t count = 0;
  for (const char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

}  // namespace detail
}  // namespace scanmend::pages
