// tessel-cli patch SCRIPT [NAME=VALUE ...] [--report-all]: runs the binary
// patcher on a script with the given names as its parameter list.

#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/console_ui.h"
#include "patcher/patcher.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

// The main window during a run with every log line shown: the log lines
// already carry the window's lines, so the window does not repeat them.
class TQuietLogWindow : public TSilentUserInterface {
 public:
  explicit TQuietLogWindow(TUserInterface& inner) : inner_(inner) {}
  void ProcessMessages() override { inner_.ProcessMessages(); }

 private:
  TUserInterface& inner_;
};

class TMainWindowSwap {
 public:
  TMainWindowSwap(TUserInterface* during, TUserInterface* after) : after_(after) {
    SetMainWindow(during);
  }
  ~TMainWindowSwap() { SetMainWindow(after_); }
  TMainWindowSwap(const TMainWindowSwap&) = delete;
  TMainWindowSwap& operator=(const TMainWindowSwap&) = delete;

 private:
  TUserInterface* after_;
};

class TPatchCommand : public TCliCommand {
 public:
  std::string Name() const override { return "patch"; }
  std::string Usage() const override { return "SCRIPT [NAME=VALUE ...] [--report-all]"; }
  std::string Summary() const override {
    return "Run a patch script; NAME=VALUE words fill its parameter list.";
  }

  int Run(const std::vector<std::string>& args, TCliContext& context) override {
    std::string script;
    bool reportAll = false;
    TParamlist params;
    for (const std::string& arg : args) {
      if (arg == "--report-all") {
        reportAll = true;
      } else if (!arg.empty() && arg[0] == '-') {
        throw EUsageError("unknown option \"" + arg + "\"");
      } else if (script.empty()) {
        script = arg;
      } else if (arg.find('=') != std::string::npos && arg[0] != '=') {
        params.SetValue(NamePart(arg), ValuePart(arg));
      } else {
        throw EUsageError("\"" + arg + "\" is not of the form NAME=VALUE");
      }
    }
    if (script.empty()) throw EUsageError("no script given");

    TQuietLogWindow quiet(context.ui);
    TMainWindowSwap swap(reportAll ? static_cast<TUserInterface*>(&quiet) : &context.ui,
                         &context.ui);
    TPatcher patcher(&params);
    if (reportAll) {
      // Log texts come with CR LF; the console writes the line end itself.
      patcher.OnLog = [&context](const std::string& text, bool) {
        context.ui.LogLine(text.substr(0, text.size() - 2));
      };
    }
    patcher.Run(script);
    return IsBlank(patcher.Error()) ? 0 : 1;
  }
};

}  // namespace

std::unique_ptr<TCliCommand> MakePatchCommand() { return std::make_unique<TPatchCommand>(); }

}  // namespace tessel
