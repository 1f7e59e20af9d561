#include "base/encoding_guess.h"

#include <cstdint>
#include <cstring>

namespace scanmend {
namespace {

// The length of the valid UTF-8 sequence of two bytes or more at `at`, or 0.
std::size_t utf8SequenceAt(std::string_view bytes, std::size_t at) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || at + length > bytes.size()) return 0;
  for (std::size_t k = 1; k < length; ++k)
    if ((static_cast<unsigned char>(bytes[at + k]) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

bool looksLikeUtf8(std::string_view bytes) {
  std::size_t sequences = 0;
  std::size_t stray = 0;  // bytes beyond ASCII outside valid sequences
  for (std::size_t at = 0; at < bytes.size();) {
    // Text is mostly ASCII: eight bytes at a time where none is beyond it.
    if (std::uint64_t eight = 0; at + 8 <= bytes.size()) {
      std::memcpy(&eight, bytes.data() + at, 8);
      if ((eight & 0x8080808080808080ULL) == 0) {
        at += 8;
        continue;
      }
    }
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      ++at;
    } else if (const std::size_t length = utf8SequenceAt(bytes, at); length > 0) {
      ++sequences;
      at += length;
    } else {
      ++stray;
      ++at;
    }
  }
  return sequences >= 3 && stray * 10 <= sequences;
}

bool isUtf8BeyondAscii(std::string_view bytes) {
  bool beyond = false;
  for (std::size_t at = 0; at < bytes.size();) {
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      ++at;
      continue;
    }
    const std::size_t length = utf8SequenceAt(bytes, at);
    if (length == 0) return false;
    beyond = true;
    at += length;
  }
  return beyond;
}

}  // namespace scanmend
