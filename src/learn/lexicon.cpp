#include "learn/lexicon.h"

#include <algorithm>
#include <cstring>

namespace scanmend::learn {
namespace {

constexpr std::size_t kMaxWordLength = 255;

bool lessBytes(std::string_view a, std::string_view b) {
  const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  return order != 0 ? order < 0 : a.size() < b.size();
}

}  // namespace

void Lexicon::assign(std::string fileBytes) {
  bytes_ = std::move(fileBytes);
  if (const std::size_t ctrlZ = bytes_.find('\x1A'); ctrlZ != std::string::npos) bytes_.resize(ctrlZ);
  words_.clear();
  const std::string_view bytes(bytes_);
  for (std::size_t at = 0;;) {
    const std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) break;  // a last line without a line end
    std::size_t length = end - at;
    if (length > 0 && bytes[end - 1] == '\r') --length;
    words_.push_back(bytes.substr(at, std::min(length, kMaxWordLength)));
    at = end + 1;
  }
  // Word lists come sorted more often than not, but rarely in byte order.
  if (!std::is_sorted(words_.begin(), words_.end(), lessBytes))
    std::sort(words_.begin(), words_.end(), lessBytes);
  words_.erase(std::unique(words_.begin(), words_.end()), words_.end());
  words_.shrink_to_fit();
}

Lexicon::Range Lexicon::narrow(Range range, unsigned char byte) const {
  // Words of exactly the range's depth sort first and hold no byte there.
  const std::size_t depth = range.depth;
  auto below = [depth](std::string_view word, unsigned char b) {
    return word.size() <= depth || static_cast<unsigned char>(word[depth]) < b;
  };
  auto above = [depth](unsigned char b, std::string_view word) {
    return word.size() > depth && b < static_cast<unsigned char>(word[depth]);
  };
  const auto first = words_.begin() + static_cast<std::ptrdiff_t>(range.begin);
  const auto last = words_.begin() + static_cast<std::ptrdiff_t>(range.end);
  const auto from = std::lower_bound(first, last, byte, below);
  const auto to = std::upper_bound(from, last, byte, above);
  return {static_cast<std::size_t>(from - words_.begin()), static_cast<std::size_t>(to - words_.begin()),
          depth + 1};
}

Lexicon::Range Lexicon::narrow(Range range, std::string_view text) const {
  for (const char c : text) {
    if (range.empty()) break;
    range = narrow(range, static_cast<unsigned char>(c));
  }
  return range;
}

}  // namespace scanmend::learn
