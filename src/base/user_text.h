// The text files that people bring to the tools (a dictionary, a profile,
// a table of their own) come as they were saved: UTF-8 with or without a
// byte-order mark, or Windows-1252, with LF or CR LF line ends. The tools
// read Windows-1252; the reports they write for people are UTF-8 with LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scanmend {

struct Windows1252Text {
  std::string bytes;     // the text in Windows-1252, its line ends as they were
  bool wasUtf8 = false;  // converted from UTF-8
  // The lines (from 1) that held a character Windows-1252 does not have,
  // left out of `bytes`: no page of the tools can hold such a word.
  std::vector<std::size_t> leftOut;
};

// The Windows-1252 text of a file's bytes: a UTF-8 byte-order mark is
// dropped, and text that is UTF-8 throughout is converted line by line;
// anything else is taken as Windows-1252 already.
Windows1252Text windows1252Text(std::string_view bytes);

// "line 4" or "lines 4, 9 and 12" (the first few, then how many more).
std::string lineList(const std::vector<std::size_t>& lines);

// The UTF-8 text, with LF line ends, of a report: one already in UTF-8 (a
// byte-order mark or valid UTF-8 throughout) only loses its CRs before
// LF and its mark; Windows-1252 is converted, a byte it leaves undefined
// written as U+FFFD.
std::string utf8Report(std::string_view bytes);

}  // namespace scanmend
