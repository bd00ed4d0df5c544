#include <iostream>

#include "examples/toolchain/standin.h"

int main(int argc, char** argv) {
  using namespace tessel::standin;
  const std::string program = argc > 0 ? argv[0] : "";
  std::optional<TToolMode> mode = ModeFromProgram(program);
  if (!mode) {
    std::cout << "error: start this program as asmsh, shcpp or optlnk (it was started as \""
              << program << "\")\n";
    return 2;
  }
  return RunTool(*mode, std::vector<std::string>(argv + 1, argv + argc), std::cout);
}
