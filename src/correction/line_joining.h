// Joins words that the print broke at a line end with "=".
#pragma once

#include <string>

namespace scanmend {

// For each line-end marker "=\n" in turn: when the next line goes on after
// the rest of the broken word, that rest moves up and the space behind it
// becomes the line end; when the next line holds only the rest, the two
// lines become one. A marker followed by an empty line stays, and so does
// every marker with no space anywhere after it. Each join makes the text
// two bytes shorter.
std::string joinHyphenatedLines(std::string text);

}  // namespace scanmend
