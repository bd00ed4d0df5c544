#pragma once
// One command of the command-line front end. Each command lives in a file of
// its own (cmd_*.cpp) and is listed in commands.cpp.

#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessel {

class TConsoleUserInterface;

struct TCliContext {
  std::ostream& out;
  std::ostream& err;
  TConsoleUserInterface& ui;
};

// Thrown for wrong arguments; the front end prints it with the command's
// usage and exits with status 2.
class EUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TCliCommand {
 public:
  virtual ~TCliCommand() = default;
  virtual std::string Name() const = 0;
  virtual std::string Usage() const = 0;    // arguments after the name
  virtual std::string Summary() const = 0;  // one line for --help
  // Returns the exit status.
  virtual int Run(const std::vector<std::string>& args, TCliContext& context) = 0;
};

std::unique_ptr<TCliCommand> MakeRunCommand();
std::vector<std::unique_ptr<TCliCommand>> AllCommands();

std::unique_ptr<TCliCommand> MakeBmp2CgiCommand();
std::unique_ptr<TCliCommand> MakeBmp2CCommand();
std::unique_ptr<TCliCommand> MakeGenerateCommand();
std::unique_ptr<TCliCommand> MakePatchCommand();
std::unique_ptr<TCliCommand> MakeOpenCommand();
std::unique_ptr<TCliCommand> MakeBuildCommand();
std::unique_ptr<TCliCommand> MakeNewCommand();

// The front end without the process around it, so tests can run it against
// string streams. `args` excludes the program name.
int CliMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tessel
