#include <iostream>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "model/allocator_setup.h"

int main(int argc, char** argv) {
  quarvel::ignoreWriteSignals();
  quarvel::tuneAllocator();
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return quarvel::runTool(arguments, std::cin, std::cout, std::cerr);
}
