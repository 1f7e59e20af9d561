#include <iostream>

#include "base/tool_main.h"
#include "learn/learn_run.h"

int main(int argc, char** argv) {
  return scanmend::runTool("scanmend-learn", argc, argv,
                           [](const std::vector<std::string>& arguments) {
                             return scanmend::learn::runLearner(arguments, std::cout, std::cerr);
                           });
}
