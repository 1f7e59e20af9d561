// What every tool's main does around its run: the command-line words as
// strings, and an end with a message, never an abort, when the memory runs
// out (a book or a file too large for the machine) or anything else fails
// that the run did not foresee.
#pragma once

#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace scanmend {

// Calls run(arguments), the words after the program's name, and returns
// its exit status; 1 after "<tool>: out of memory" or another failure's
// message on standard error.
template <typename Run>
int runTool(std::string_view tool, int argc, char** argv, Run run) {
  try {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return run(arguments);
  } catch (const std::bad_alloc&) {
    std::cout.flush();
    std::cerr << tool << ": out of memory\n";
    return 1;
  } catch (const std::exception& failure) {
    std::cout.flush();
    std::cerr << tool << ": " << failure.what() << "\n";
    return 1;
  }
}

}  // namespace scanmend
