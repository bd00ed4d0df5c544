#pragma once
// The Qt side of the user-interface seam: message boxes, the input box, the
// file and directory choosers and the hourglass cursor, all modal over one
// parent window. Log lines are no business of dialogs and are dropped; the
// main window shows them.

#include <QPointer>
#include <QWidget>

#include "support/user_interface.h"

namespace tessel {

class TfrmDependencyDlg;

class TQtDialogs : public TUserInterface {
 public:
  explicit TQtDialogs(QWidget* parent) : parent_(parent) {}
  ~TQtDialogs() override;

  void LogLine(const std::string&) override {}
  void ClearLog() override {}
  void ProcessMessages() override;

  void ShowWarning(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  bool ConfirmOkCancel(const std::string& text) override;
  void ShowInformation(const std::string& text) override;
  void ShowError(const std::string& text) override;

  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& text) override;
  // The chooser does not insist that the file exists (Open project may name
  // a new one).
  std::optional<std::string> ChooseFile(const std::string& filter,
                                        const std::string& start) override;
  std::optional<std::string> ChooseDirectory(const std::string& caption,
                                             const std::string& start) override;

  void SetCursor(TCursor cursor) override;

  // The dialog is created once at start-up and lives with the main window.
  void SetDependencyDialog(TfrmDependencyDlg* dialog) { dependencyDlg_ = dialog; }
  std::optional<TDependencyEntry> DependencyDialog(const TDependencyEntry& entry) override;

 private:
  QPointer<TfrmDependencyDlg> dependencyDlg_;
  QPointer<QWidget> parent_;
  bool hourGlass_ = false;
};

}  // namespace tessel
