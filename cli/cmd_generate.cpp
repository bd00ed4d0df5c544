#include <ostream>

#include "app/sdk_check.h"
#include "cli/command.h"
#include "cli/console_ui.h"
#include "platform/file_system.h"
#include "setup/uSetupProject.h"
#include "support/app_env.h"
#include "support/text.h"

namespace tessel {

namespace {

// The console interface, except that information (the success text) goes to
// standard output: it is the command's result, not a message about it.
class TGenerateUserInterface : public TConsoleUserInterface {
 public:
  TGenerateUserInterface(std::ostream& out, std::ostream& err)
      : TConsoleUserInterface(out, err), out_(out) {}

  void ShowInformation(const std::string& text) override { out_ << text << '\n'; }

 private:
  std::ostream& out_;
};

struct TEdit {
  std::string editor;
  std::string key;
  std::string value;
};

const TEditorInfo& EditorByName(const std::string& name) {
  if (const TEditorInfo* info = FindEditor(name)) return *info;
  for (const TEditorInfo& info : Editors) {
    if (SameTextAscii(name, info.name)) return info;
  }
  std::string names;
  for (const TEditorInfo& info : Editors) names = AppendItem(names, info.name, ", ");
  throw EUsageError("unknown editor \"" + name + "\"; the editors are " + names);
}

void RequireFile(const std::string& what, const std::string& path) {
  if (!FileExists(path)) throw EFileError(what + " \"" + path + "\" does not exist.");
}

class TGenerateCommand : public TCliCommand {
 public:
  std::string Name() const override { return "generate"; }
  std::string Usage() const override {
    return "PROJECT.INI [--base BASE.INI] [--set EDITOR KEY=VALUE ...] [--yes|--no]";
  }
  std::string Summary() const override {
    return "Saves the edits given by --set (with backups) and regenerates the project scripts.";
  }

  int Run(const std::vector<std::string>& args, TCliContext& context) override {
    std::string projectIni;
    std::string baseIni;
    std::vector<TEdit> edits;
    auto answer = TConsoleUserInterface::Answer::Ask;
    for (size_t i = 0; i < args.size(); ++i) {
      const std::string& arg = args[i];
      if (arg == "--base") {
        if (i + 1 >= args.size()) throw EUsageError("--base needs a file");
        baseIni = args[++i];
      } else if (arg == "--set") {
        if (i + 2 >= args.size()) throw EUsageError("--set needs an editor and KEY=VALUE");
        const std::string& editor = args[i + 1];
        const std::string& assignment = args[i + 2];
        i += 2;
        size_t equals = assignment.find('=');
        if (equals == std::string::npos || equals == 0) {
          throw EUsageError("--set " + editor + ": \"" + assignment + "\" is no KEY=VALUE");
        }
        edits.push_back({EditorByName(editor).name, assignment.substr(0, equals),
                         assignment.substr(equals + 1)});
      } else if (arg == "--yes") {
        answer = TConsoleUserInterface::Answer::Yes;
      } else if (arg == "--no") {
        answer = TConsoleUserInterface::Answer::No;
      } else if (!arg.empty() && arg[0] == '-') {
        throw EUsageError("unknown option \"" + arg + "\"");
      } else if (projectIni.empty()) {
        projectIni = arg;
      } else {
        throw EUsageError("more than one project settings file given");
      }
    }
    if (projectIni.empty()) throw EUsageError("no project settings file given");
    TGenerateUserInterface ui(context.out, context.err);
    ui.SetAnswer(answer);
    // Without --base, the installation's base settings file, as the main
    // window finds it for its current project.
    if (baseIni.empty()) baseIni = CheckSdkBaseDirectory(AppEnv().Value("PD"), ui);
    RequireFile("Project settings file", projectIni);
    RequireFile("Base settings file", baseIni);

    TSetupModel model(projectIni, projectIni, baseIni);
    model.Load();
    for (const TEdit& edit : edits) {
      TEditorRows& rows = model.Editor(edit.editor);
      if (edit.editor == std::string("vleGeneral") && rows.IndexOfKey(edit.key) < 0) {
        throw EUsageError("vleGeneral has no parameter \"" + edit.key + "\"");
      }
      rows.SetValue(edit.key, edit.value);
    }

    return RunSaveCommand(model, ui) ? 0 : 1;
  }
};

}  // namespace

std::unique_ptr<TCliCommand> MakeGenerateCommand() { return std::make_unique<TGenerateCommand>(); }

}  // namespace tessel
