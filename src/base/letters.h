// Letters of Windows-1252 text: which bytes are letters, and the small
// letter of a capital.
#pragma once

#include <string_view>

namespace scanmend {

inline bool isLetter(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         (byte >= 0xC0 && byte != 0xD7 && byte != 0xF7) || byte == 0x8A || byte == 0x8C ||
         byte == 0x8E || byte == 0x9A || byte == 0x9C || byte == 0x9E || byte == 0x9F;
}

inline unsigned char smallLetterOf(unsigned char byte) {
  if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
    return static_cast<unsigned char>(byte + 32);
  if (byte == 0x8A || byte == 0x8C || byte == 0x8E) return static_cast<unsigned char>(byte + 16);
  if (byte == 0x9F) return 0xFF;
  return byte;
}

inline bool isCapital(unsigned char byte) { return smallLetterOf(byte) != byte; }

inline unsigned char capitalOf(unsigned char byte) {
  if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7))
    return static_cast<unsigned char>(byte - 32);
  if (byte == 0x9A || byte == 0x9C || byte == 0x9E) return static_cast<unsigned char>(byte - 16);
  if (byte == 0xFF) return 0x9F;
  return byte;
}

// Whether the word is one letter or more and nothing else.
inline bool isLetterWord(std::string_view word) {
  if (word.empty()) return false;
  for (const char c : word)
    if (!isLetter(static_cast<unsigned char>(c))) return false;
  return true;
}

// A word of two letters or more and nothing else: what a dictionary lists.
// OCR words that carry quotation marks or dashes ("\x84Ich") are not.
inline bool isPlainWord(std::string_view word) {
  if (word.size() < 2) return false;
  for (const char c : word)
    if (!isLetter(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace scanmend
