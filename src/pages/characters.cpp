#include "pages/characters.h"

#include <array>
#include <cstdint>

#include "base/windows1252.h"

namespace scanmend::pages {
namespace {

constexpr char32_t kLongS = 0x017F;
constexpr char32_t kRRotunda = 0xA75B;
constexpr char32_t kDoubleHyphen = 0x2E17;
constexpr char32_t kCombiningDiaeresis = 0x0308;
constexpr char32_t kCombiningSmallE = 0x0364;

// Decodes the character at `at`, moving past it; a byte that starts no
// valid sequence is one character of its own, reported as 0xFFFFFFFF.
char32_t nextCharacter(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = lead < 0x80                    ? 1
                       : lead >= 0xC2 && lead <= 0xDF ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
  if (length == 0 || at + length > text.size()) {
    ++at;
    return 0xFFFFFFFF;
  }
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) {
      ++at;
      return 0xFFFFFFFF;
    }
    c = (c << 6) | (next & 0x3F);
  }
  // Overlong forms and surrogates are no characters.
  const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
  if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
    ++at;
    return 0xFFFFFFFF;
  }
  at += length;
  return c;
}

// The Windows-1252 byte of a character, or kUnreadable.
char readingOf(char32_t c) {
  if (c == kLongS) return 's';
  if (c == kRRotunda) return 'r';
  // Hyphens that Windows-1252 lacks, the Fraktur double hyphen among them;
  // at a line end, the page formats make them the line-end "=".
  if (c == 0x2010 || c == 0x2011 || c == kDoubleHyphen) return '-';
  // Control characters would end a page (Ctrl-Z) or a line on disk.
  if (c < 0x20 || c == 0x7F) return kUnreadable;
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int byte = 0x80; byte < 0xA0; ++byte)
    if (codePointOf(static_cast<unsigned char>(byte)) == c) return static_cast<char>(byte);
  return kUnreadable;
}

// The umlaut that `base` with a combining mark above makes, or 0.
char umlautOf(char base) {
  switch (base) {
    case 'a':
      return '\xE4';
    case 'o':
      return '\xF6';
    case 'u':
      return '\xFC';
    case 'A':
      return '\xC4';
    case 'O':
      return '\xD6';
    case 'U':
      return '\xDC';
    default:
      return 0;
  }
}

}  // namespace

std::size_t firstInvalidUtf8(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t start = at;
    if (nextCharacter(bytes, at) == 0xFFFFFFFF) return start;
  }
  return std::string_view::npos;
}

std::string_view ImportedText::sourceOf(std::size_t from, std::size_t to) const {
  if (from >= to) return {};
  const std::size_t begin = from == 0 ? 0 : ends[from - 1];
  return std::string_view(source).substr(begin, ends[to - 1] - begin);
}

ImportedText ImportedText::part(std::size_t from, std::size_t to) const {
  ImportedText out;
  out.bytes = bytes.substr(from, to - from);
  out.source = sourceOf(from, to);
  const std::uint32_t begin = from == 0 ? 0 : ends[from - 1];
  for (std::size_t i = from; i < to; ++i) out.ends.push_back(ends[i] - begin);
  return out;
}

ImportedText importCharacters(std::string_view utf8) {
  ImportedText text;
  text.bytes.reserve(utf8.size());
  text.source = utf8;
  text.ends.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const char32_t c = nextCharacter(utf8, at);
    if ((c == kCombiningSmallE || c == kCombiningDiaeresis) && !text.bytes.empty()) {
      if (const char umlaut = umlautOf(text.bytes.back()); umlaut != 0) {
        text.bytes.back() = umlaut;
        text.ends.back() = static_cast<std::uint32_t>(at);
        continue;
      }
    }
    text.bytes += c == 0xFFFFFFFF ? kUnreadable : readingOf(c);
    text.ends.push_back(static_cast<std::uint32_t>(at));
  }
  return text;
}

std::string windows1252ToUtf8(unsigned char byte) {
  std::string out;
  appendUtf8(out, isDefinedInWindows1252(byte) ? codePointOf(byte) : 0xFFFD);
  return out;
}

std::string exportCharacters(const ImportedText& imported, std::string_view corrected) {
  // Bytes line up one for one when the lengths agree; otherwise the
  // corrected word is taken to share a beginning and an end with the
  // imported one ("Stra\u017Fze" corrected to "Stra\xDFe").
  const std::string_view original = imported.bytes;
  std::size_t prefix = 0;
  std::size_t suffix = 0;
  if (corrected.size() != original.size()) {
    while (prefix < original.size() && prefix < corrected.size() &&
           original[prefix] == corrected[prefix])
      ++prefix;
    while (suffix < original.size() - prefix && suffix < corrected.size() - prefix &&
           original[original.size() - 1 - suffix] == corrected[corrected.size() - 1 - suffix])
      ++suffix;
  }
  std::string out;
  out.reserve(corrected.size() + corrected.size() / 4);
  for (std::size_t i = 0; i < corrected.size(); ++i) {
    std::size_t from = i;  // the imported byte that corrected[i] would be
    if (corrected.size() != original.size()) {
      if (i < prefix) {
        from = i;
      } else if (i >= corrected.size() - suffix) {
        from = original.size() - (corrected.size() - i);
      } else {
        from = original.size();  // no imported byte
      }
    }
    if (from < original.size() && corrected[i] == original[from]) {
      out += imported.sourceOf(from, from + 1);
    } else {
      out += windows1252ToUtf8(static_cast<unsigned char>(corrected[i]));
    }
  }
  return out;
}

}  // namespace scanmend::pages
