// One complete run of scanmend in the working directory: banner, options,
// dictionary, the page loop over in/001.txt, in/002.txt, ..., the
// unknown-word report and the statistics. Everything it prints goes to
// `console`.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace scanmend {

// `arguments` are the command-line words after the program name.
// Returns the exit status: 0 after a complete run, 1 when "dic.txt" cannot
// be read.
int runScanmend(const std::vector<std::string>& arguments, std::ostream& console);

}  // namespace scanmend
