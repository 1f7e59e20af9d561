#include "base/windows1252.h"

namespace scanmend {

bool utf8ToWindows1252(std::string_view utf8, std::string& out) {
  out.clear();
  for (std::size_t at = 0; at < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2
                               : lead >= 0xE0 && lead <= 0xEF               ? 3
                               : lead >= 0xF0 && lead <= 0xF4               ? 4
                                                                            : 0;
    if (length == 0 || at + length > utf8.size()) return false;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[at + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    const unsigned char byte = windows1252ByteOf(c);
    if (byte == 0 && c != 0) return false;
    out += static_cast<char>(byte);
    at += length;
  }
  return true;
}

}  // namespace scanmend
