#pragma once
// The command line and options file of one stand-in tool run.

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessel::standin {

// A failure of the tool: printed as "error: " + message, exit status 1.
class EToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A wrong command line: exit status 2.
class EUsageError : public EToolError {
 public:
  using EToolError::EToolError;
};

struct TOption {
  std::string name;  // lower case, without the "-"
  std::string value;
  bool hasValue = false;
};

struct TInvocation {
  std::string optionsFile;         // as given after -SUB=
  std::vector<std::string> files;  // words that name files, in order
  std::vector<TOption> options;    // in order
};

// Splits the command line and the lines of the -SUB= file into files and
// options. `valueOptions` names the options that take the next word as their
// value when written without "=".
TInvocation ReadInvocation(const std::vector<std::string>& args,
                           const std::set<std::string>& valueOptions);

}  // namespace tessel::standin
