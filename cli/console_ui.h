#pragma once
// The command line as the system's user interface: log lines go to standard
// output, boxes to standard error, questions are answered by --yes / --no or
// asked on the terminal (No when standard input is no terminal).
// The first Ctrl-C does not end the program: it is reported to the cancel
// handler at the next ProcessMessages, as a click on "Cancel build" would
// be; a second Ctrl-C ends the program.

#include <atomic>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "support/user_interface.h"

namespace tessel {

class TConsoleUserInterface : public TUserInterface {
 public:
  enum class Answer { Ask, Yes, No };

  TConsoleUserInterface(std::ostream& out, std::ostream& err);

  void SetAnswer(Answer answer) { answer_ = answer; }
  // Answers given on the command line, each used once: the file chooser's,
  // the directory chooser's and the first input box's. Once the preset
  // input is used, a later input box (the question asked again) can only be
  // answered on a terminal; without one it is cancelled.
  void PresetFile(std::string path) { presetFile_ = std::move(path); }
  void PresetDirectory(std::string path) { presetDirectory_ = std::move(path); }
  void PresetInput(std::string text) { presetInput_ = std::move(text); }
  void SetCancelHandler(std::function<void()> handler) { cancel_ = std::move(handler); }
  // Routes Ctrl-C to the cancel handler while the returned guard lives.
  class TInterruptGuard {
   public:
    TInterruptGuard();
    ~TInterruptGuard();
    TInterruptGuard(const TInterruptGuard&) = delete;
    TInterruptGuard& operator=(const TInterruptGuard&) = delete;
  };

  void LogLine(const std::string& text) override;
  void ClearLog() override {}
  void ProcessMessages() override;
  void ShowWarning(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  bool ConfirmOkCancel(const std::string& text) override;
  void ShowInformation(const std::string& text) override;
  void ShowError(const std::string& text) override;
  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& text) override;
  std::optional<std::string> ChooseFile(const std::string& filter,
                                        const std::string& start) override;
  std::optional<std::string> ChooseDirectory(const std::string& caption,
                                             const std::string& start) override;
  void SetCursor(TCursor) override {}

  // Set by the SIGINT handler.
  static std::atomic<bool> interrupted;

 private:
  bool Ask(const std::string& question, const std::string& yes, const std::string& no);
  std::optional<std::string> ReadInput(const std::string& title, const std::string& prompt,
                                       const std::string& text);
  std::optional<std::string> presetFile_;
  std::optional<std::string> presetDirectory_;
  std::optional<std::string> presetInput_;
  bool presetInputUsed_ = false;
  std::ostream& out_;
  std::ostream& err_;
  Answer answer_ = Answer::Ask;
  std::function<void()> cancel_;
};

}  // namespace tessel
