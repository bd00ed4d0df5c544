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
#include <vector>

#include "support/user_interface.h"

namespace tessel {

class TConsoleUserInterface : public TUserInterface {
 public:
  enum class Answer { Ask, Yes, No };

  TConsoleUserInterface(std::ostream& out, std::ostream& err);

  void SetAnswer(Answer answer) { answer_ = answer; }
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
  std::ostream& out_;
  std::ostream& err_;
  Answer answer_ = Answer::Ask;
  std::function<void()> cancel_;
};

}  // namespace tessel
