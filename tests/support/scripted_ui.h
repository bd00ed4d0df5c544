#pragma once
// A user interface for tests: records everything shown, answers questions
// from queues (No / Cancel / nothing when a queue is empty).

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/user_interface.h"

namespace tessel::test {

class TScriptedUserInterface : public TUserInterface {
 public:
  struct Box {
    std::string kind;  // "warning", "yesno", "okcancel", "information", "error"
    std::string text;
  };

  std::vector<std::string> log;  // lines appended (code 4); ClearLog empties it
  int clears = 0;
  int processMessagesCalls = 0;
  std::vector<Box> boxes;
  std::vector<TCursor> cursors;  // every cursor shown, in order

  std::deque<bool> yesNoAnswers;
  std::deque<bool> okCancelAnswers;
  std::deque<std::optional<std::string>> inputAnswers;  // input box, file and directory choosers
  // The text preset in each input box, the start of each chooser, in order.
  std::vector<std::string> inputPresets;

  std::deque<std::optional<TDependencyEntry>> dependencyAnswers;  // empty: Cancel
  std::vector<TDependencyEntry> dependencyShown;                  // the cells each dialog showed

  // Called from ProcessMessages (for example to cancel a running build).
  std::function<void()> onProcessMessages;

  void LogLine(const std::string& text) override { log.push_back(text); }
  void ClearLog() override {
    log.clear();
    ++clears;
  }
  void ProcessMessages() override;
  void ShowWarning(const std::string& text) override { boxes.push_back({"warning", text}); }
  bool AskYesNo(const std::string& text) override;
  bool ConfirmOkCancel(const std::string& text) override;
  void ShowInformation(const std::string& text) override { boxes.push_back({"information", text}); }
  void ShowError(const std::string& text) override { boxes.push_back({"error", text}); }
  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& text) override;
  std::optional<std::string> ChooseFile(const std::string& filter,
                                        const std::string& start) override;
  std::optional<std::string> ChooseDirectory(const std::string& caption,
                                             const std::string& start) override;
  void SetCursor(TCursor cursor) override { cursors.push_back(cursor); }
  std::optional<TDependencyEntry> DependencyDialog(const TDependencyEntry& entry) override;

 private:
  std::optional<std::string> NextInput(const std::string& kind, const std::string& text,
                                       const std::string& preset);
};

// Installs a UI as the main window for the lifetime of the guard.
class TMainWindowGuard {
 public:
  explicit TMainWindowGuard(TUserInterface* ui);
  ~TMainWindowGuard();
};

}  // namespace tessel::test
