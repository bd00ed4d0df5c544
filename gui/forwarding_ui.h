#pragma once
// A user interface that hands every call on to another one and runs a hook
// before each box or chooser is shown (for example to bring the rows a
// command changed onto the screen first).

#include <functional>
#include <utility>

#include "support/user_interface.h"

namespace tessel {

class TForwardingUserInterface : public TUserInterface {
 public:
  TForwardingUserInterface(TUserInterface& target, std::function<void()> beforeBox)
      : target_(target), beforeBox_(std::move(beforeBox)) {}

  void LogLine(const std::string& text) override { target_.LogLine(text); }
  void ClearLog() override { target_.ClearLog(); }
  void ProcessMessages() override { target_.ProcessMessages(); }
  void ShowWarning(const std::string& text) override {
    Before();
    target_.ShowWarning(text);
  }
  bool AskYesNo(const std::string& text) override {
    Before();
    return target_.AskYesNo(text);
  }
  bool ConfirmOkCancel(const std::string& text) override {
    Before();
    return target_.ConfirmOkCancel(text);
  }
  void ShowInformation(const std::string& text) override {
    Before();
    target_.ShowInformation(text);
  }
  void ShowError(const std::string& text) override {
    Before();
    target_.ShowError(text);
  }
  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& text) override {
    Before();
    return target_.InputBox(title, prompt, text);
  }
  std::optional<std::string> ChooseFile(const std::string& filter,
                                        const std::string& start) override {
    Before();
    return target_.ChooseFile(filter, start);
  }
  std::optional<std::string> ChooseDirectory(const std::string& caption,
                                             const std::string& start) override {
    Before();
    return target_.ChooseDirectory(caption, start);
  }
  void SetCursor(TCursor cursor) override { target_.SetCursor(cursor); }

 private:
  void Before() {
    if (beforeBox_) beforeBox_();
  }
  TUserInterface& target_;
  std::function<void()> beforeBox_;
};

}  // namespace tessel
