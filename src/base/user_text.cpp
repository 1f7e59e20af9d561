#include "base/user_text.h"

#include "base/encoding_guess.h"
#include "base/windows1252.h"

namespace scanmend {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isUtf8(std::string_view bytes) {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return isUtf8BeyondAscii(bytes);
  return true;  // ASCII is both
}

}  // namespace

Windows1252Text windows1252Text(std::string_view bytes) {
  Windows1252Text text;
  const bool marked = bytes.starts_with(kByteOrderMark);
  if (marked) bytes.remove_prefix(kByteOrderMark.size());
  if (!marked && !isUtf8BeyondAscii(bytes)) {
    text.bytes = bytes;
    return text;
  }
  text.wasUtf8 = true;
  text.bytes.reserve(bytes.size());
  std::string line;
  std::size_t number = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = std::min(bytes.find('\n', at), bytes.size());
    const bool hasEnd = end < bytes.size();
    ++number;
    if (utf8ToWindows1252(bytes.substr(at, end - at), line)) {
      text.bytes.append(line);
      if (hasEnd) text.bytes.push_back('\n');
    } else {
      text.leftOut.push_back(number);
    }
    at = end + 1;
  }
  return text;
}

std::string lineList(const std::vector<std::size_t>& lines) {
  constexpr std::size_t kShown = 5;
  std::string out = lines.size() == 1 ? "line " : "lines ";
  const std::size_t shown = std::min(lines.size(), kShown);
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) out += i + 1 == shown && lines.size() <= kShown ? " and " : ", ";
    out += std::to_string(lines[i]);
  }
  if (lines.size() > kShown) out += " and " + std::to_string(lines.size() - kShown) + " more";
  return out;
}

std::string utf8Report(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  const bool utf8 = isUtf8(bytes);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') continue;
    if (utf8 || byte < 0x80)
      out.push_back(static_cast<char>(byte));
    else
      appendUtf8(out, isDefinedInWindows1252(byte) ? codePointOf(byte) : 0xFFFD);
  }
  return out;
}

}  // namespace scanmend
