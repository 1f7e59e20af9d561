#include <iostream>
#include <string>
#include <vector>

#include "learn/learn_run.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return scanmend::learn::runLearner(arguments, std::cout, std::cerr);
}
