#include "cli/command.h"

namespace tessel {

// Factories of the commands, defined in their own files.

std::vector<std::unique_ptr<TCliCommand>> AllCommands() {
  std::vector<std::unique_ptr<TCliCommand>> commands;
  commands.push_back(MakeOpenCommand());
  commands.push_back(MakeBuildCommand());
  commands.push_back(MakeNewCommand());
  commands.push_back(MakeRunCommand());
  commands.push_back(MakeGenerateCommand());
  commands.push_back(MakePatchCommand());
  commands.push_back(MakeBmp2CgiCommand());
  commands.push_back(MakeBmp2CCommand());
  return commands;
}

}  // namespace tessel
