// One run of scanmend-advise in a book's working directory: reads dic.txt
// and the pages, weighs the candidates and prints the advice to `out`,
// progress and failures to `err`.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace scanmend::advise {

// `arguments` are the command-line words after the program name. Returns
// the exit status: 0 with advice, 1 when dic.txt or in/001.txt cannot be
// read, 2 on an unknown argument.
int runAdvisor(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace scanmend::advise
