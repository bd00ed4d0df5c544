#pragma once
// The main window: the current project, the log, the menu of commands and
// the Build command. A thin front end over the application core, which
// holds every rule; the window adds the log's display and runs builds on a
// worker thread so it repaints, scrolls and accepts Cancel while a tool
// runs.
//
// Threads: a build (pre-build checks, engine run, closing line) runs on one
// worker thread. Everything the core shows or asks from there is handed to
// the window thread: log lines queued in the order sent, boxes and choosers
// asked there while the worker waits for the answer. A cancel request (the
// Build item clicked while building) is recorded on the window thread and
// handed to the core on the worker at its next message processing, after
// the running tool, so no further script line runs. Closing the window
// during a build cancels it; the window closes once the run has returned.

#include <QMainWindow>
#include <atomic>
#include <memory>
#include <string>

#include "app/main_core.h"
#include "support/user_interface.h"

class QAction;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QThread;

namespace tessel {

class TfrmDependencyDlg;
class TfrmSetupProject;
class TQtDialogs;

class TfrmMain : public QMainWindow, public TUserInterface {
  Q_OBJECT

 public:
  static constexpr int StartWidth = 696;
  static constexpr int StartHeight = 521;
  static constexpr int MaxLogLines = 10000;

  // Boxes, choosers and the dependency dialog go to `dialogs` when given
  // (tests answer them there), else to Qt's dialogs over this window.
  explicit TfrmMain(TMainCoreConfig config = TMainCoreConfig::FromAppEnv(),
                    TUserInterface* dialogs = nullptr);
  ~TfrmMain() override;

  // Start-up: the last project becomes current (its SDK base directory
  // check may ask before the window shows), then the dependency dialog is
  // created hidden.
  void Startup();

  // The user-interface seam, callable from the build's worker thread.
  void LogLine(const std::string& text) override;
  void ClearLog() override;
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
  void SetCursor(TCursor cursor) override;
  std::optional<TDependencyEntry> DependencyDialog(const TDependencyEntry& entry) override;

  // The menu commands.
  void OpenProject();
  void Build();
  void OpenSetup(bool projectOnly);
  void SaveProjectAs();
  void ConvertBitmaps();

  bool IsBuilding() const { return worker_ != nullptr; }
  TMainCore& Core() { return *core_; }
  TfrmSetupProject* SetupWindow() const { return setupWindow_.get(); }
  TfrmDependencyDlg* DependencyDlg() const { return dependencyDlg_.get(); }
  QPlainTextEdit* Log() const { return memResult_; }
  // Lines the log holds.
  int LogLineCount() const;

  QAction* mnuOpen = nullptr;
  QAction* mnuBuild = nullptr;
  QAction* mnuFullSetup = nullptr;
  QAction* mnuProjectSetup = nullptr;
  QAction* mnuSaveAs = nullptr;
  QAction* mnuQuit = nullptr;
  QAction* mnuConvertBitmaps = nullptr;
  QCheckBox* cbxMakeAll = nullptr;
  QCheckBox* cbxReportAll = nullptr;
  QLabel* lblCurrentProject = nullptr;

 signals:
  // A build's run has returned and the window is idle again.
  void buildFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // What the window shows of the core, taken on the thread that runs it.
  struct TCoreView {
    std::string label;
    std::string buildCaption;
    std::string projectFile;
    std::string baseIniFile;
    bool hasProject = false;
  };

  void BuildMenus();
  void BuildContents();
  bool OnWindowThread() const;
  template <typename F>
  auto Ask(F&& ask) -> decltype(ask());
  void CoreChanged();
  void ShowView(const TCoreView& view);
  void UpdateMenus();
  void AppendLine(const std::string& text);
  void RunBuild();
  void BuildReturned();
  void DestroySetupWindow();
  void Guarded(const std::function<void()>& command);

  std::unique_ptr<TQtDialogs> qtDialogs_;
  TUserInterface* dialogs_;
  std::unique_ptr<TMainCore> core_;
  TCoreView view_;
  QPlainTextEdit* memResult_ = nullptr;
  std::unique_ptr<TfrmSetupProject> setupWindow_;
  std::unique_ptr<TfrmDependencyDlg> dependencyDlg_;
  QThread* worker_ = nullptr;
  std::atomic<int> cancelRequests_{0};
  bool closeWhenDone_ = false;
};

}  // namespace tessel
