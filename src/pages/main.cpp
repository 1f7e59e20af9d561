#include <iostream>
#include <string>
#include <vector>

#include "pages/pages_run.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return scanmend::pages::runPages(arguments, std::cout, std::cerr);
}
