// tessel-cli run SCRIPT [--make-all] [--report-all]: runs a project script
// with the command line as the log window.

#include <ostream>

#include "app/build_run.h"
#include "cli/command.h"
#include "cli/command_support.h"
#include "cli/console_ui.h"
#include "engine/uProject.h"

namespace tessel {

namespace {

class TRunCommand : public TCliCommand {
 public:
  std::string Name() const override { return "run"; }
  std::string Usage() const override { return "SCRIPT [--make-all] [--report-all]"; }
  std::string Summary() const override {
    return "Runs a project script and prints the build log and its closing line.";
  }

  int Run(const std::vector<std::string>& args, TCliContext& context) override {
    std::string script;
    TBuildSettings settings;
    settings.logWindow = &context.ui;
    for (const std::string& arg : args) {
      if (arg == "--make-all") {
        settings.makeAll = true;
      } else if (arg == "--report-all") {
        settings.reportAll = true;
      } else if (arg.starts_with("--")) {
        throw EUsageError("unknown option \"" + arg + "\"");
      } else if (script.empty()) {
        script = arg;
      } else {
        throw EUsageError("more than one script given");
      }
    }
    if (script.empty()) throw EUsageError("no script given");
    script = AbsolutePath(script);

    TBuildRun build;
    // Ctrl-C reaches the engine through ProcessMessages, as a click on
    // "Cancel build" would; the handler must not outlive `build`.
    struct TCancelRoute {
      TConsoleUserInterface& ui;
      ~TCancelRoute() { ui.SetCancelHandler(nullptr); }
    } route{context.ui};
    context.ui.SetCancelHandler([&build] { build.Cancel(); });
    TConsoleUserInterface::TInterruptGuard interrupts;
    TBuildOutcome outcome = build.Run(script, settings);
    context.ui.LogLine(outcome.closingLine);
    if (outcome.state == psCancelled) return kExitCancelled;
    return outcome.state == psReady ? kExitReady : kExitErrors;
  }
};

}  // namespace

std::unique_ptr<TCliCommand> MakeRunCommand() { return std::make_unique<TRunCommand>(); }

}  // namespace tessel
