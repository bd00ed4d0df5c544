#include <exception>
#include <ostream>

#include "cli/command.h"
#include "cli/console_ui.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

bool IsStartupParameter(const std::string& word) {
  return !word.empty() && word[0] != '-' && word.find('=') != std::string::npos;
}

void PrintHelp(std::ostream& out, const std::vector<std::unique_ptr<TCliCommand>>& commands) {
  out << "Usage: tessel-cli [KEY=VALUE ...] COMMAND [ARGS]\n"
         "       tessel-cli --version | --help\n\n"
         "KEY=VALUE words before the command are start-up parameters.\n\n"
         "Commands:\n";
  for (const auto& command : commands) {
    out << "  " << command->Name() << " " << command->Usage() << "\n      " << command->Summary()
        << "\n";
  }
}

}  // namespace

int CliMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  size_t next = 0;
  std::vector<std::string> startup;
  while (next < args.size() && IsStartupParameter(args[next])) startup.push_back(args[next++]);

  try {
    PreLoadAppEnv(startup);
  } catch (const std::exception& e) {
    err << "Error: " << e.what() << "\n";
    return 1;
  }

  auto commands = AllCommands();
  if (next >= args.size()) {
    PrintHelp(err, commands);
    return 2;
  }
  const std::string& name = args[next];
  if (name == "--version") {
    out << AppEnv().Value("PN") << " " << AppEnv().Value("FV") << "\n";
    return 0;
  }
  if (name == "--help" || name == "-h") {
    PrintHelp(out, commands);
    return 0;
  }
  for (const auto& command : commands) {
    if (command->Name() != name) continue;
    std::vector<std::string> rest(args.begin() + static_cast<long>(next) + 1, args.end());
    if (!rest.empty() && (rest[0] == "--help" || rest[0] == "-h")) {
      out << "Usage: tessel-cli [KEY=VALUE ...] " << name << " " << command->Usage() << "\n\n"
          << command->Summary() << "\n";
      return 0;
    }
    TConsoleUserInterface ui(out, err);
    SetMainWindow(&ui);
    TCliContext context{out, err, ui};
    int status;
    try {
      status = command->Run(rest, context);
    } catch (const EUsageError& e) {
      err << "tessel-cli " << name << ": " << e.what() << "\n"
          << "Usage: tessel-cli " << name << " " << command->Usage() << "\n";
      status = 2;
    } catch (const std::exception& e) {
      err << "Error: " << e.what() << "\n";
      status = 1;
    }
    SetMainWindow(nullptr);
    return status;
  }
  err << "tessel-cli: unknown command \"" << name << "\"\n";
  PrintHelp(err, commands);
  return 2;
}

}  // namespace tessel
