#pragma once
// Runs the command-line front end against string streams, each time with a
// fresh application environment (start-up parameters lock their keys).

#include <sstream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "support/app_env.h"

namespace tessel::test {

struct TCliRun {
  int status = 0;
  std::string out;
  std::string err;
};

// `words` are the program's arguments; a non-empty `command` goes first.
inline TCliRun RunCli(const std::string& command, std::vector<std::string> words) {
  if (!command.empty()) words.insert(words.begin(), command);
  ResetAppEnv();
  std::ostringstream out, err;
  const int status = CliMain(words, out, err);
  ResetAppEnv();
  return {status, out.str(), err.str()};
}

}  // namespace tessel::test
