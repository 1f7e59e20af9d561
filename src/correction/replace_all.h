// Replace every occurrence of a pattern: the primitive under both fixed
// rule tables.
#pragma once

#include <string>
#include <string_view>

namespace scanmend {

// Replaces, in place, every occurrence of `pattern` in `text` by
// `replacement`. The text is searched with one space added at each end, so
// a pattern that begins (ends) with a space also matches at the start (end)
// of the text. After a replacement the search resumes at its first byte, so
// an occurrence that the replacement forms with what follows is replaced
// too; a replacement that contains its own pattern resumes behind itself,
// so that every call ends. An empty pattern changes nothing.
void replaceAll(std::string& text, std::string_view pattern, std::string_view replacement);

// The same, on a text that already carries the two added spaces. Rule
// tables whose rows keep those spaces pad once and run all rows on it.
void replaceAllPadded(std::string& padded, std::string_view pattern, std::string_view replacement);

// " " + text + " ", and back.
std::string padWithSpaces(std::string_view text);
std::string stripPadding(std::string&& padded);

}  // namespace scanmend
