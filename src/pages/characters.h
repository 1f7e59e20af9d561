// Characters between the UTF-8 of OCR files and the Windows-1252 bytes the
// correction reads, and back, so that every character the correction leaves
// as it was keeps its original form.
//
// Import reads each character of the source as the byte the correction
// sees: a Windows-1252 character as itself; the long s as "s"; a, o, u with
// a combining small e above or a combining diaeresis as the umlaut; the r
// rotunda as "r"; control characters and any other character as
// kUnreadable, a character that no dictionary word holds, so a word with it
// is never taken for another. Each byte remembers the source text it
// stands for, and export writes that text back.
//
// Export writes, byte by byte, the source's text where the corrected byte
// is the imported one, and the corrected byte's own character where the
// correction changed it: "Ge\u017Fellfchaft", imported as "Gesellfchaft"
// and corrected to "Gesellschaft", is written "Ge\u017Fellschaft".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scanmend::pages {

// The currency sign, which no word holds, so absent from any dictionary,
// and no word separator, so it keeps the word it stands in whole. A
// character of Windows-1252, so that every byte of a page converts back
// to UTF-8 with the tools people use on text (iconv stops at the bytes
// that Windows-1252 leaves undefined).
inline constexpr char kUnreadable = '\xA4';

struct ImportedText {
  std::string bytes;   // Windows-1252, what the correction reads
  std::string source;  // the UTF-8 text read
  // Where the source text of each byte ends in `source`: byte i stands
  // for [ends[i - 1], ends[i]), the first from 0.
  std::vector<std::uint32_t> ends;

  // The source text that the bytes [from, to) stand for.
  std::string_view sourceOf(std::size_t from, std::size_t to) const;
  // The bytes [from, to) with their source texts.
  ImportedText part(std::size_t from, std::size_t to) const;
};

// The place of the first byte of `bytes` that starts no valid UTF-8
// character, or npos for valid UTF-8.
std::size_t firstInvalidUtf8(std::string_view bytes);

// Reads UTF-8 text (invalid sequences count as unreadable characters).
ImportedText importCharacters(std::string_view utf8);

// The UTF-8 of one Windows-1252 byte.
std::string windows1252ToUtf8(unsigned char byte);

// The corrected bytes of an imported text, as UTF-8, with the source's
// characters wherever a byte is as imported: byte for byte when both are
// as long, else in the beginning and the end that both share.
std::string exportCharacters(const ImportedText& imported, std::string_view corrected);

}  // namespace scanmend::pages
