#include <iostream>

#include "base/tool_main.h"
#include "run/program_run.h"

int main(int argc, char** argv) {
  return scanmend::runTool("scanmend", argc, argv, [](const std::vector<std::string>& arguments) {
    return scanmend::runScanmend(arguments, std::cout);
  });
}
