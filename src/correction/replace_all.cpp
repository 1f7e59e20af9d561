#include "correction/replace_all.h"

#include <cstring>

namespace scanmend {

void replaceAllPadded(std::string& padded, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty()) return;
  const bool resumeBehind = replacement.find(pattern) != std::string_view::npos;
  std::size_t at = padded.find(pattern);
  while (at != std::string::npos) {
    if (replacement.size() == pattern.size()) {
      std::memcpy(padded.data() + at, replacement.data(), replacement.size());
    } else {
      padded.replace(at, pattern.size(), replacement);
    }
    at = padded.find(pattern, resumeBehind ? at + replacement.size() : at);
  }
}

std::string padWithSpaces(std::string_view text) {
  std::string padded;
  padded.reserve(text.size() + 2);
  padded += ' ';
  padded += text;
  padded += ' ';
  return padded;
}

std::string stripPadding(std::string&& padded) {
  // A replacement may have eaten into the padding; never read outside it.
  if (padded.size() < 2) return {};
  padded.pop_back();
  padded.erase(0, 1);
  return std::move(padded);
}

void replaceAll(std::string& text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty()) return;
  std::string padded = padWithSpaces(text);
  replaceAllPadded(padded, pattern, replacement);
  text = stripPadding(std::move(padded));
}

}  // namespace scanmend
