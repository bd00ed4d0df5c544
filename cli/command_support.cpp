#include "cli/command_support.h"

#include "platform/file_system.h"
#include "platform/path_split.h"

namespace tessel {

std::string AbsolutePath(const std::string& path) {
  const bool absolute =
      (!path.empty() && IsPathDelimiter(path[0])) || (path.size() >= 2 && path[1] == ':');
  if (absolute || path.empty()) return path;
  std::string cwd = CurrentDirectory();
  return (cwd.empty() || IsPathDelimiter(cwd.back()) ? cwd : cwd + "/") + path;
}

bool TakeAnswerOption(const std::string& arg, TConsoleUserInterface& ui) {
  if (arg == "--yes") {
    ui.SetAnswer(TConsoleUserInterface::Answer::Yes);
  } else if (arg == "--no") {
    ui.SetAnswer(TConsoleUserInterface::Answer::No);
  } else {
    return false;
  }
  return true;
}

}  // namespace tessel
