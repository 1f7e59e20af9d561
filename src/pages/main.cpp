#include <iostream>

#include "base/tool_main.h"
#include "pages/pages_run.h"

int main(int argc, char** argv) {
  return scanmend::runTool("scanmend-pages", argc, argv,
                           [](const std::vector<std::string>& arguments) {
                             return scanmend::pages::runPages(arguments, std::cout, std::cerr);
                           });
}
