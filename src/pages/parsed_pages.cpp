#include "pages/parsed_pages.h"

#include <optional>

#include "pages/manifest.h"

namespace scanmend::pages {
namespace {

constexpr std::string_view kHeader = "scanmend-pages parsed pages 2\n";

// Numbers as base-128 digits, least significant first, the high bit
// marking that another follows; texts as their length and their bytes.
void putNumber(std::string& out, std::uint64_t value) {
  if (value < 0x80) {
    out.push_back(static_cast<char>(value));
    return;
  }
  while (value >= 0x80) {
    out += static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  out += static_cast<char>(value);
}

void putText(std::string& out, std::string_view text) {
  putNumber(out, text.size());
  out += text;
}

// Eight bytes, least significant first.
void putFixed(std::string& out, std::uint64_t value) {
  for (int k = 0; k < 8; ++k, value >>= 8) out += static_cast<char>(value & 0xFF);
}

// Reads what the put functions wrote; every read after the end of the
// bytes fails, and so does every later one.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }

  std::uint64_t number() {
    std::uint64_t value = 0;
    for (int shift = 0; ok_; shift += 7) {
      if (at_ >= bytes_.size() || shift > 63) {
        ok_ = false;
        break;
      }
      const auto byte = static_cast<unsigned char>(bytes_[at_++]);
      value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) return value;
    }
    return 0;
  }

  // A number that must be below `limit`.
  std::size_t below(std::uint64_t limit) {
    const std::uint64_t value = number();
    if (value >= limit) ok_ = false;
    return ok_ ? static_cast<std::size_t>(value) : 0;
  }

  std::uint64_t fixed() {
    if (!ok_ || left() < 8) ok_ = false;
    if (!ok_) return 0;
    std::uint64_t value = 0;
    for (int k = 7; k >= 0; --k) value = (value << 8) | static_cast<unsigned char>(bytes_[at_ + k]);
    at_ += 8;
    return value;
  }

  // A text: its length, read before the bytes are counted that are left
  // for it, then its bytes.
  std::string_view textView() {
    const std::uint64_t length = number();
    if (length > left()) ok_ = false;
    if (!ok_) return {};
    const std::string_view out = bytes_.substr(at_, static_cast<std::size_t>(length));
    at_ += static_cast<std::size_t>(length);
    return out;
  }

  std::string text() { return std::string(textView()); }

  // A place in a source of `size` bytes, which fits an Offset.
  Offset offset(std::size_t size) { return static_cast<Offset>(below(size + 1)); }

  // A count of things that take at least `leastBytes` each: never more
  // than the bytes left could hold, so no count allocates beyond them.
  std::size_t count(std::size_t leastBytes) {
    const std::uint64_t value = number();
    if (value > left() / leastBytes) ok_ = false;
    return ok_ ? static_cast<std::size_t>(value) : 0;
  }

  std::size_t position() const { return at_; }
  std::size_t left() const { return bytes_.size() - at_; }
  bool atEnd() const { return at_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

// Counts come before what they count, so a count beyond what the bytes
// could hold is refused before anything is allocated for it: each thing
// takes at least one byte for each of its numbers and texts.
constexpr std::size_t kLeastElementBytes = 8;
constexpr std::size_t kLeastAttributeBytes = 4;
constexpr std::size_t kLeastFieldBytes = 5;
constexpr std::size_t kLeastLineBytes = 4;
constexpr std::size_t kLeastTokenBytes = 3;
void encode(const SourcePage& page, std::string& out) {
  putNumber(out, static_cast<std::uint64_t>(page.format));
  putNumber(out, page.elements.size());
  for (const XmlElement& element : page.elements) {
    putText(out, element.name);
    putNumber(out, static_cast<std::uint64_t>(element.parent + 1));
    putNumber(out, element.tagBegin);
    putNumber(out, element.tagEnd);
    putNumber(out, element.contentBegin);
    putNumber(out, element.contentEnd);
    putNumber(out, element.holdsElements ? 1 : 0);
    putNumber(out, element.attributes.size());
    for (const XmlAttribute& attribute : element.attributes) {
      putText(out, attribute.name);
      putText(out, attribute.value);
      putNumber(out, attribute.valueBegin);
      putNumber(out, attribute.valueEnd);
    }
    putText(out, element.text);
  }
  putNumber(out, page.fields.size());
  for (const Field& field : page.fields) {
    putNumber(out, field.begin);
    putNumber(out, field.end);
    putNumber(out, field.literal ? 1 : 0);
    putText(out, field.text);
    putNumber(out, static_cast<unsigned char>(field.quote));
    putNumber(out, static_cast<std::uint64_t>(field.element + 1));
  }
  putNumber(out, page.lineCount());
  for (std::size_t line = 0; line < page.lineCount(); ++line) {
    putNumber(out, page.line(line).size());
    for (const Token& token : page.line(line)) {
      putNumber(out, static_cast<std::uint64_t>(token.field));
      putNumber(out, token.from);
      putNumber(out, token.to);
    }
  }
}

// A span [begin, end) of the source.
bool isSpan(std::size_t begin, std::size_t end, std::size_t size) {
  return begin <= end && end <= size;
}

}  // namespace

bool decodePage(std::string_view encoded, std::string_view source, SourcePage& page) {
  Reader in(encoded);
  page = SourcePage();
  page.source = source;
  const std::size_t size = source.size();
  page.format = static_cast<Format>(in.below(4));
  page.elements.resize(in.count(kLeastElementBytes));
  for (std::size_t i = 0; i < page.elements.size() && in.ok(); ++i) {
    XmlElement& element = page.elements[i];
    element.name = internedName(in.text());
    element.parent = static_cast<int>(in.below(i + 1)) - 1;
    element.tagBegin = in.offset(size);
    element.tagEnd = in.offset(size);
    element.contentBegin = in.offset(size);
    element.contentEnd = in.offset(size);
    element.holdsElements = in.below(2) == 1;
    // A tag is at least "<a>", and the content follows it.
    if (element.tagBegin + 3 > element.tagEnd || element.contentBegin != element.tagEnd ||
        !isSpan(element.tagBegin, element.tagEnd, size) ||
        !isSpan(element.contentBegin, element.contentEnd, size))
      return false;
    element.attributes.resize(in.count(kLeastAttributeBytes));
    for (XmlAttribute& attribute : element.attributes) {
      attribute.name = internedName(in.text());
      attribute.value = in.text();
      attribute.valueBegin = in.offset(size);
      attribute.valueEnd = in.offset(size);
      // The quotes around the value are part of the source too.
      if (attribute.valueBegin == 0 ||
          !isSpan(attribute.valueBegin, attribute.valueEnd, size - 1) || !in.ok())
        return false;
    }
    element.text = in.text();
  }
  if (!in.ok() || page.elements.empty() != (page.format == Format::Text)) return false;
  page.fields.resize(in.count(kLeastFieldBytes));
  for (Field& field : page.fields) {
    field.begin = in.offset(size);
    field.end = in.offset(size);
    field.literal = in.below(2) == 1;
    field.text = in.text();
    field.quote = static_cast<char>(in.below(256));
    field.element = static_cast<int>(in.below(page.elements.size() + 1)) - 1;
    // The fields of XML belong to elements, those of text to none.
    const bool owned = page.format == Format::Text ? field.element < 0 : field.element >= 0;
    if (!isSpan(field.begin, field.end, size) || (field.quote != 0 && field.begin == 0) || !owned ||
        (field.literal && !field.text.empty()) || !in.ok())
      return false;
  }
  // The words follow each other through the fields, as export replaces
  // them from the last one back.
  std::optional<Token> previous;
  const std::size_t lines = in.count(kLeastLineBytes);
  for (std::size_t line = 0; line < lines && in.ok(); ++line) {
    const std::size_t words = in.count(kLeastTokenBytes);
    if (words == 0) return false;
    for (std::size_t w = 0; w < words && in.ok(); ++w) {
      Token token;
      token.field = static_cast<int>(in.below(page.fields.size()));
      token.from = in.offset(size);
      token.to = in.offset(size);
      const bool follows = !previous || token.field > previous->field ||
                           (token.field == previous->field && token.from >= previous->to);
      if (!in.ok() || !follows ||
          !isSpan(token.from, token.to,
                  page.textOf(page.fields[static_cast<std::size_t>(token.field)]).size()))
        return false;
      page.tokens.push_back(token);
      previous = token;
    }
    page.lineEnds.push_back(static_cast<Offset>(page.tokens.size()));
  }
  return in.ok() && in.atEnd();
}

std::string encodePage(const SourcePage& page) {
  std::string out;
  encode(page, out);
  return out;
}

std::string_view parsedPagesHeader() { return kHeader; }

void appendParsedPage(std::string& store, std::int64_t number, std::size_t bytes,
                      std::uint64_t checksum, const SourcePage& page) {
  // A record is the length of its body, the body, and the body's checksum:
  // a record damaged in any byte is not used, and neither is any after a
  // damaged length. The body is the page's numbers and then the encoded
  // page, written in place after room for the length, which is closed up.
  constexpr std::size_t kLengthRoom = 10;  // bytes of the longest number
  const std::size_t start = store.size();
  store.append(kLengthRoom, '\0');
  putNumber(store, static_cast<std::uint64_t>(number));
  putNumber(store, bytes);
  putNumber(store, checksum);
  encode(page, store);
  const std::size_t bodyLength = store.size() - start - kLengthRoom;
  const std::uint64_t sum = checksumOf(std::string_view(store).substr(start + kLengthRoom));
  std::string length;
  putNumber(length, bodyLength);
  store.replace(start, kLengthRoom, length);
  putFixed(store, sum);
}

ParsedPages::ParsedPages(std::string store) : store_(std::move(store)) {
  if (!std::string_view(store_).starts_with(kHeader)) return;
  Reader in(std::string_view(store_).substr(kHeader.size()));
  while (!in.atEnd()) {
    const std::string_view body = in.textView();
    const std::uint64_t sum = in.fixed();
    if (!in.ok() || sum != checksumOf(body)) return;
    Reader record(body);
    const std::uint64_t number = record.number();
    const std::uint64_t bytes = record.number();
    const std::uint64_t checksum = record.number();
    if (!record.ok()) return;
    const std::string_view encoded = body.substr(record.position());
    records_[static_cast<std::int64_t>(number)] =
        Record{static_cast<std::size_t>(bytes), checksum,
               static_cast<std::size_t>(encoded.data() - store_.data()), encoded.size()};
  }
}

bool ParsedPages::find(std::int64_t number, std::string_view source, std::uint64_t checksum,
                       SourcePage& page) const {
  const auto found = records_.find(number);
  if (found == records_.end() || found->second.bytes != source.size() ||
      found->second.checksum != checksum)
    return false;
  return decodePage(std::string_view(store_).substr(found->second.at, found->second.length), source,
                    page);
}

}  // namespace scanmend::pages
