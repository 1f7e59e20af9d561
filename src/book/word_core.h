// The core of a word as OCR writes it: its letters, without the quotation
// marks, dashes and numbers at its ends, but with the marks that the OCR
// writes for letters it could not read ("durc<" for "durch", "Glo>e" for
// "Glocke", "alle8" for "alles", "|" for "l"). Everything that decides a
// word reads its core.
#pragma once

#include <cstddef>
#include <string_view>
#include <utility>

#include "base/letters.h"

namespace scanmend {

// A byte that OCR writes for letters of Fraktur it misread: "<" for "ch",
// ">" for "ck", a digit for "s" or "z", "|" for "l" or "i", a brace or a
// backslash for the long s or "sch".
inline bool isOcrMark(unsigned char byte) {
  return byte == '<' || byte == '>' || byte == '|' || byte == '{' || byte == '}' || byte == '\\' ||
         (byte >= '0' && byte <= '9');
}

// [begin, end) of the core: from the first letter (or a "<", ">" or "|"
// before one) to the last letter or mark after one. Digits before the
// first letter stay out: "2ten" is an ordinal. Empty where the word has no
// letter.
inline std::pair<std::size_t, std::size_t> coreOf(std::string_view word) {
  std::size_t begin = 0;
  while (begin < word.size() && !isLetter(static_cast<unsigned char>(word[begin]))) ++begin;
  if (begin == word.size()) return {0, 0};
  while (begin > 0) {
    const auto before = static_cast<unsigned char>(word[begin - 1]);
    if (!isOcrMark(before) || (before >= '0' && before <= '9')) break;
    --begin;
  }
  std::size_t end = word.size();
  while (end > begin && !isLetter(static_cast<unsigned char>(word[end - 1])) &&
         !isOcrMark(static_cast<unsigned char>(word[end - 1])))
    --end;
  return {begin, end};
}

// Whether the word holds a mark that the OCR writes for letters.
inline bool holdsOcrMark(std::string_view word) {
  for (const char c : word)
    if (isOcrMark(static_cast<unsigned char>(c))) return true;
  return false;
}

// Letters and such marks only, with a letter among them: a word that may
// be learned from and read as a dictionary word.
inline bool isOcrWord(std::string_view word) {
  bool letter = false;
  for (const char c : word) {
    const auto byte = static_cast<unsigned char>(c);
    if (isLetter(byte)) {
      letter = true;
    } else if (!isOcrMark(byte)) {
      return false;
    }
  }
  return letter;
}

// Whether the word holds a letter with an accent that German never
// prints ("G\xE9sandten"): OCR puts them on letters where the print has
// a speck.
inline bool holdsForeignAccent(std::string_view word) {
  for (const char c : word) {
    const auto byte = static_cast<unsigned char>(smallLetterOf(static_cast<unsigned char>(c)));
    if (byte >= 0xE0 && byte != 0xE4 && byte != 0xF6 && byte != 0xFC && byte != 0xDF &&
        byte != 0xF7)
      return true;
  }
  return false;
}

}  // namespace scanmend
