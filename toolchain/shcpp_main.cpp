#include <iostream>

#include "toolchain/tools.h"

int main(int argc, char** argv) {
  return tessel::toolchain::RunCompiler(std::vector<std::string>(argv + 1, argv + argc), std::cout);
}
