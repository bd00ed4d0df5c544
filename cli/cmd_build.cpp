// tessel-cli build [PROJECT.INI] [--make-all] [--report-all] [--yes|--no]:
// the main window's Build, with the log on standard output and the boxes on
// standard error.

#include <ostream>

#include "app/main_core.h"
#include "cli/command.h"
#include "cli/command_support.h"
#include "cli/console_ui.h"

namespace tessel {

namespace {

class TBuildCommand : public TCliCommand {
 public:
  std::string Name() const override { return "build"; }
  std::string Usage() const override {
    return "[PROJECT.INI] [--make-all] [--report-all] [--yes|--no]";
  }
  std::string Summary() const override {
    return "Builds a project (opening it first) or the last project: checks, library, scripts.";
  }

  int Run(const std::vector<std::string>& args, TCliContext& context) override {
    std::string project;
    bool makeAll = false;
    bool reportAll = false;
    for (const std::string& arg : args) {
      if (arg == "--make-all") {
        makeAll = true;
      } else if (arg == "--report-all") {
        reportAll = true;
      } else if (TakeAnswerOption(arg, context.ui)) {
      } else if (arg.starts_with("-")) {
        throw EUsageError("unknown option \"" + arg + "\"");
      } else if (project.empty()) {
        project = arg;
      } else {
        throw EUsageError("more than one project given");
      }
    }

    TMainCore core(context.ui);
    core.MakeAll = makeAll;
    core.ReportAll = reportAll;
    if (project.empty()) {
      core.Startup();
    } else {
      context.ui.PresetFile(AbsolutePath(project));
      core.OpenProject();
    }
    if (!core.HasProject()) {
      context.err << "tessel-cli build: no current project: "
                  << (project.empty() ? "the last project is not set or does not exist any more"
                                      : "\"" + project + "\" does not exist")
                  << "\n";
      return kExitErrors;
    }

    // Ctrl-C reaches the build through ProcessMessages, as a click on
    // "Cancel build" would; the handler must not outlive `core`.
    struct TCancelRoute {
      TConsoleUserInterface& ui;
      ~TCancelRoute() { ui.SetCancelHandler(nullptr); }
    } route{context.ui};
    context.ui.SetCancelHandler([&core] { core.Build(); });
    TConsoleUserInterface::TInterruptGuard interrupts;
    switch (core.Build()) {
      case TBuildResult::Ready:
        return kExitReady;
      case TBuildResult::Cancelled:
        return kExitCancelled;
      case TBuildResult::NoProject:
        context.err << "tessel-cli build: no current project\n";
        return kExitErrors;
      default:
        return kExitErrors;
    }
  }
};

}  // namespace

std::unique_ptr<TCliCommand> MakeBuildCommand() { return std::make_unique<TBuildCommand>(); }

}  // namespace tessel
