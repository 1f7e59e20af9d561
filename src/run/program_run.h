// One complete run of scanmend in the working directory: banner, options,
// dictionary, the page loop over in/001.txt, in/002.txt, ..., the
// unknown-word report and the statistics. Everything it prints goes to
// `console`.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace scanmend {

// The exit status of a run that went through all pages but could not write
// one of them or the report.
inline constexpr int kExitNotWritten = 2;

// `arguments` are the command-line words after the program name; "--help"
// or "-h" among them prints the usage and "--version" the version, and
// then nothing is read or written. Returns the exit status: 0 after a
// complete run (and after help or version), 1 when "dic.txt" cannot be
// read, kExitNotWritten when a page or the report could not be written.
int runScanmend(const std::vector<std::string>& arguments, std::ostream& console);

}  // namespace scanmend
