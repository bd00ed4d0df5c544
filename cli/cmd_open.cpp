// tessel-cli open PROJECT.INI [--yes|--no]: the main window's Open project,
// with PROJECT.INI as the file dialog's answer.

#include <ostream>

#include "app/main_core.h"
#include "cli/command.h"
#include "cli/command_support.h"
#include "cli/console_ui.h"

namespace tessel {

namespace {

class TOpenCommand : public TCliCommand {
 public:
  std::string Name() const override { return "open"; }
  std::string Usage() const override { return "PROJECT.INI [--yes|--no]"; }
  std::string Summary() const override {
    return "Makes a project current (remembered as the last project) and checks its SDK.";
  }

  int Run(const std::vector<std::string>& args, TCliContext& context) override {
    std::string project;
    for (const std::string& arg : args) {
      if (TakeAnswerOption(arg, context.ui)) continue;
      if (arg.starts_with("-")) throw EUsageError("unknown option \"" + arg + "\"");
      if (!project.empty()) throw EUsageError("more than one project given");
      project = arg;
    }
    if (project.empty()) throw EUsageError("no project settings file given");

    TMainCore core(context.ui);
    context.ui.PresetFile(AbsolutePath(project));
    core.OpenProject();
    // The main window's label.
    context.out << core.ProjectLabel().substr(1) << "\n";
    return core.HasProject() ? 0 : 1;
  }
};

}  // namespace

std::unique_ptr<TCliCommand> MakeOpenCommand() { return std::make_unique<TOpenCommand>(); }

}  // namespace tessel
