// The characters of Windows-1252 and their UTF-8, for the text shown to
// people and for the page formats, which are UTF-8.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace scanmend {

// The code point of a Windows-1252 byte. The five bytes that Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their own values.
inline char32_t codePointOf(unsigned char byte) {
  static constexpr std::array<char16_t, 32> kHighControls{
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

inline bool isDefinedInWindows1252(unsigned char byte) {
  return byte < 0x80 || byte >= 0xA0 || codePointOf(byte) != byte;
}

inline void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The Windows-1252 byte of a code point, or 0 for one it does not have.
inline unsigned char windows1252ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (unsigned byte = 0x80; byte < 0xA0; ++byte)
    if (codePointOf(static_cast<unsigned char>(byte)) == c) return static_cast<unsigned char>(byte);
  return 0;
}

// The Windows-1252 text of UTF-8 text; false for bytes that are no UTF-8
// or a character that Windows-1252 does not have.
bool utf8ToWindows1252(std::string_view utf8, std::string& out);

}  // namespace scanmend
