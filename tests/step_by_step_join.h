// Line joining done literally step by step, rebuilding the text at every
// join: slow, but plainly the algorithm the tool promises. The fast pass is
// checked against it.
#pragma once

#include <cstddef>
#include <string>

namespace scanmend::testing {

inline std::string joinStepByStep(std::string text, std::size_t* joins = nullptr) {
  std::size_t e = text.find("=\n");
  while (e != std::string::npos) {
    const std::size_t s = text.find(' ', e);
    if (s == std::string::npos) break;
    if (text[e + 2] != '\n') {
      const std::size_t n = text.find('\n', e + 2);
      if (n != std::string::npos && s < n) {
        text = text.substr(0, e) + text.substr(e + 2, s - (e + 2)) + "\n" + text.substr(s + 1);
      } else {
        text = text.substr(0, e) + text.substr(e + 2);
      }
      if (joins != nullptr) ++*joins;
    }
    e = text.find("=\n", e + 1);
  }
  return text;
}

}  // namespace scanmend::testing
