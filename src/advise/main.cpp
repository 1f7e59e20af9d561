#include <iostream>

#include "advise/advise_run.h"
#include "base/tool_main.h"

int main(int argc, char** argv) {
  return scanmend::runTool("scanmend-advise", argc, argv,
                           [](const std::vector<std::string>& arguments) {
                             return scanmend::advise::runAdvisor(arguments, std::cout, std::cerr);
                           });
}
