#include "tests/support/scripted_ui.h"

namespace tessel::test {

void TScriptedUserInterface::ProcessMessages() {
  ++processMessagesCalls;
  if (onProcessMessages) onProcessMessages();
}

bool TScriptedUserInterface::AskYesNo(const std::string& text) {
  boxes.push_back({"yesno", text});
  if (yesNoAnswers.empty()) return false;
  bool answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

bool TScriptedUserInterface::ConfirmOkCancel(const std::string& text) {
  boxes.push_back({"okcancel", text});
  if (okCancelAnswers.empty()) return false;
  bool answer = okCancelAnswers.front();
  okCancelAnswers.pop_front();
  return answer;
}

std::optional<std::string> TScriptedUserInterface::NextInput(const std::string& kind,
                                                             const std::string& text,
                                                             const std::string& preset) {
  boxes.push_back({kind, text});
  inputPresets.push_back(preset);
  if (inputAnswers.empty()) return std::nullopt;
  auto answer = inputAnswers.front();
  inputAnswers.pop_front();
  return answer;
}

std::optional<std::string> TScriptedUserInterface::InputBox(const std::string& title,
                                                            const std::string& prompt,
                                                            const std::string& text) {
  return NextInput("input", title + ": " + prompt, text);
}

std::optional<std::string> TScriptedUserInterface::ChooseFile(const std::string& filter,
                                                              const std::string& start) {
  return NextInput("file", filter, start);
}

std::optional<std::string> TScriptedUserInterface::ChooseDirectory(const std::string& caption,
                                                                   const std::string& start) {
  return NextInput("directory", caption, start);
}

std::optional<TDependencyEntry> TScriptedUserInterface::DependencyDialog(
    const TDependencyEntry& entry) {
  dependencyShown.push_back(entry);
  if (dependencyAnswers.empty()) return std::nullopt;
  auto answer = dependencyAnswers.front();
  dependencyAnswers.pop_front();
  return answer;
}

TMainWindowGuard::TMainWindowGuard(TUserInterface* ui) { SetMainWindow(ui); }
TMainWindowGuard::~TMainWindowGuard() { SetMainWindow(nullptr); }

}  // namespace tessel::test
