// tessel-cli new NAME [PROJECT.INI] [--yes|--no]: the main window's Save
// project as, from PROJECT.INI or the last project, with NAME as the first
// answer to the name question.

#include <ostream>

#include "app/main_core.h"
#include "cli/command.h"
#include "cli/command_support.h"
#include "cli/console_ui.h"

namespace tessel {

namespace {

class TNewCommand : public TCliCommand {
 public:
  std::string Name() const override { return "new"; }
  std::string Usage() const override { return "NAME [PROJECT.INI] [--yes|--no]"; }
  std::string Summary() const override {
    return "Creates project NAME from a project or the last one; prints its settings file.";
  }

  int Run(const std::vector<std::string>& args, TCliContext& context) override {
    std::vector<std::string> words;
    for (const std::string& arg : args) {
      if (TakeAnswerOption(arg, context.ui)) continue;
      if (arg.starts_with("-")) throw EUsageError("unknown option \"" + arg + "\"");
      words.push_back(arg);
    }
    if (words.empty()) throw EUsageError("no name given");
    if (words.size() > 2) throw EUsageError("more than a name and a project given");

    TMainCore core(context.ui);
    if (words.size() == 2) {
      // The project to copy; unlike Open project, the last project stays.
      core.SetCurrentProject(AbsolutePath(words[1]));
    } else {
      core.Startup();
    }
    if (!core.HasProject()) {
      context.err << "tessel-cli new: no current project: "
                  << (words.size() == 2 ? "\"" + words[1] + "\" does not exist"
                                        : "the last project is not set or does not exist any "
                                          "more")
                  << "\n";
      return 1;
    }
    context.ui.PresetInput(words[0]);
    const std::optional<std::string> created = core.SaveProjectAs();
    if (!created) return 1;
    context.out << *created << "\n";
    return 0;
  }
};

}  // namespace

std::unique_ptr<TCliCommand> MakeNewCommand() { return std::make_unique<TNewCommand>(); }

}  // namespace tessel
