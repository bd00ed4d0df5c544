#pragma once
// The stand-in tool built with the tests (tests/support/standin_tool.cpp) and
// a reader for the records it appends to STANDIN.LOG.

#include <string>
#include <vector>

namespace tessel::test {

// Host path of the stand-in tool executable.
std::string StandinToolPath();

// One run of the stand-in tool as recorded in its log.
struct TStandinRun {
  int number = 0;
  std::vector<std::string> args;  // after the program name
  std::string workDir;
  std::vector<std::string> environment;  // NAME=VALUE, sorted
  bool hasOptionsFile = false;           // -SUB= was given
  std::string optionsFile;
  bool optionsReadable = false;
  std::vector<std::string> options;  // lines of the options file
};

// Parses the text of a STANDIN.LOG; throws std::runtime_error on a malformed log.
std::vector<TStandinRun> ParseStandinLog(const std::string& text);

// Reads and parses the STANDIN.LOG in a host directory; empty when none exists.
std::vector<TStandinRun> ReadStandinLog(const std::string& hostDirectory);

}  // namespace tessel::test
