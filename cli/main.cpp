#include <iostream>

#include "cli/command.h"
#include "platform/allocator_tuning.h"
#include "platform/executable.h"

int main(int argc, char** argv) {
  tessel::TuneAllocatorForOneRun();
  tessel::SetCommandLineArguments(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  return tessel::CliMain(args, std::cout, std::cerr);
}
