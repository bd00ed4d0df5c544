#pragma once
// The one seam through which the system shows and asks anything. The core
// never shows anything itself; the front ends (Qt windows, command line) and
// the tests' scripted fake implement this interface, and the application
// layer installs the main-window instance.

#include <optional>
#include <string>

namespace tessel {

enum class TCursor { Default, HourGlass };

// The two cells of the dependency dialog.
struct TDependencyEntry {
  std::string file;
  std::string type;
};

class TUserInterface {
 public:
  virtual ~TUserInterface() = default;

  // The log-line message: code 4 appends one line, code 5 clears the log.
  virtual void LogLine(const std::string& text) = 0;
  virtual void ClearLog() = 0;

  // Handles pending messages; this is where a cancel request reaches a
  // running build.
  virtual void ProcessMessages() = 0;

  virtual void ShowWarning(const std::string& text) = 0;      // warning, OK
  virtual bool AskYesNo(const std::string& text) = 0;         // warning, Yes/No: true = Yes
  virtual bool ConfirmOkCancel(const std::string& text) = 0;  // OK/Cancel: true = OK
  virtual void ShowInformation(const std::string& text) = 0;
  virtual void ShowError(const std::string& text) = 0;

  virtual std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                              const std::string& text) = 0;
  virtual std::optional<std::string> ChooseFile(const std::string& filter,
                                                const std::string& start) = 0;
  virtual std::optional<std::string> ChooseDirectory(const std::string& caption,
                                                     const std::string& start) = 0;

  virtual void SetCursor(TCursor cursor) = 0;

  // The modal dependency dialog, its cells preset to `entry`: the cells on
  // OK, nothing on Cancel. Without such a dialog the answer is Cancel.
  virtual std::optional<TDependencyEntry> DependencyDialog(const TDependencyEntry& entry) {
    (void)entry;
    return std::nullopt;
  }
};

// A user interface that shows nothing and answers No / Cancel.
class TSilentUserInterface : public TUserInterface {
 public:
  void LogLine(const std::string&) override {}
  void ClearLog() override {}
  void ProcessMessages() override {}
  void ShowWarning(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
  bool ConfirmOkCancel(const std::string&) override { return false; }
  void ShowInformation(const std::string&) override {}
  void ShowError(const std::string&) override {}
  std::optional<std::string> InputBox(const std::string&, const std::string&,
                                      const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFile(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseDirectory(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void SetCursor(TCursor) override {}
};

// The application's main window, set once by the front end (not owned).
// Never null: without a front end, a silent interface answers.
TUserInterface& MainWindow();
void SetMainWindow(TUserInterface* ui);

}  // namespace tessel
