#include "gui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QThread>
#include <QVBoxLayout>

#include "app/dependency_entry.h"
#include "gui/dependency_dlg.h"
#include "gui/log_marks.h"
#include "gui/qt_dialogs.h"
#include "gui/qt_text.h"
#include "gui/setup_project.h"
#include "setup/window_paths.h"
#include "support/app_env.h"

namespace tessel {

TfrmMain::TfrmMain(TMainCoreConfig config, TUserInterface* dialogs) : QMainWindow(nullptr) {
  setObjectName("frmMain");
  if (dialogs == nullptr) {
    qtDialogs_ = std::make_unique<TQtDialogs>(this);
    dialogs = qtDialogs_.get();
  }
  dialogs_ = dialogs;
  core_ = std::make_unique<TMainCore>(*this, std::move(config));
  core_->OnStateChanged = [this] { CoreChanged(); };
  core_->OnOpenProject = [this] { Ask([this] { DestroySetupWindow(); }); };

  setWindowTitle(ToQt(AppEnv().Value("PN") + " " + AppEnv().Value("FV")));
  BuildMenus();
  BuildContents();
  resize(StartWidth, StartHeight);
  CoreChanged();
}

TfrmMain::~TfrmMain() {
  // Never reached during a build through the window; a program that ends
  // otherwise still lets the run return before the window goes.
  if (worker_ != nullptr) {
    ++cancelRequests_;
    while (!worker_->wait(10)) QCoreApplication::processEvents();
    delete worker_;
    worker_ = nullptr;
  }
  setupWindow_.reset();
  dependencyDlg_.reset();
}

void TfrmMain::BuildMenus() {
  QMenu* file = menuBar()->addMenu("File");
  mnuOpen = file->addAction("Open project", this, [this] { OpenProject(); });
  mnuBuild = file->addAction(kBuildBinaries, this, [this] { Build(); });
  mnuBuild->setShortcut(Qt::Key_F9);
  mnuFullSetup = file->addAction("Full Setup", this, [this] { OpenSetup(false); });
  mnuProjectSetup = file->addAction("Project Setup", this, [this] { OpenSetup(true); });
  mnuSaveAs = file->addAction("Save project as", this, [this] { SaveProjectAs(); });
  mnuQuit = file->addAction("Quit", this, [this] { close(); });
  QMenu* options = menuBar()->addMenu("Options");
  mnuConvertBitmaps = options->addAction("Convert Bitmaps", this, [this] { ConvertBitmaps(); });

  mnuOpen->setObjectName("mnuOpen");
  mnuBuild->setObjectName("mnuBuild");
  mnuFullSetup->setObjectName("mnuFullSetup");
  mnuProjectSetup->setObjectName("mnuProjectSetup");
  mnuSaveAs->setObjectName("mnuSaveAs");
  mnuQuit->setObjectName("mnuQuit");
  mnuConvertBitmaps->setObjectName("mnuConvertBitmaps");
}

void TfrmMain::BuildContents() {
  auto* central = new QWidget(this);
  cbxMakeAll = new QCheckBox("Make all", central);
  cbxMakeAll->setObjectName("cbxMakeAll");
  cbxReportAll = new QCheckBox("Report all", central);
  cbxReportAll->setObjectName("cbxReportAll");
  lblCurrentProject = new QLabel(central);
  lblCurrentProject->setObjectName("lblCurrentProject");
  lblCurrentProject->setTextFormat(Qt::PlainText);
  memResult_ = new QPlainTextEdit(central);
  memResult_->setObjectName("memResult");
  memResult_->setReadOnly(true);
  memResult_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memResult_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* boxes = new QHBoxLayout;
  boxes->addWidget(cbxMakeAll);
  boxes->addSpacing(16);
  boxes->addWidget(cbxReportAll);
  boxes->addStretch();
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  layout->addLayout(boxes);
  layout->addWidget(lblCurrentProject);
  layout->addWidget(memResult_, 1);
  setCentralWidget(central);
}

void TfrmMain::Startup() {
  Guarded([this] { core_->Startup(); });
  dependencyDlg_ = std::make_unique<TfrmDependencyDlg>(*this, this);
  dependencyDlg_->hide();
  if (qtDialogs_) qtDialogs_->SetDependencyDialog(dependencyDlg_.get());
}

bool TfrmMain::OnWindowThread() const { return QThread::currentThread() == thread(); }

template <typename F>
auto TfrmMain::Ask(F&& ask) -> decltype(ask()) {
  using TResult = decltype(ask());
  if (OnWindowThread()) return ask();
  // The worker waits while the window thread asks.
  if constexpr (std::is_void_v<TResult>) {
    QMetaObject::invokeMethod(
        this, [&ask] { ask(); }, Qt::BlockingQueuedConnection);
  } else {
    TResult result{};
    QMetaObject::invokeMethod(
        this, [&ask, &result] { result = ask(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}

void TfrmMain::LogLine(const std::string& text) {
  if (OnWindowThread()) {
    AppendLine(text);
  } else {
    // Queued: lines arrive in the order sent, and before any later box.
    QMetaObject::invokeMethod(
        this, [this, text] { AppendLine(text); }, Qt::QueuedConnection);
  }
}

void TfrmMain::ClearLog() {
  if (OnWindowThread()) {
    memResult_->clear();
  } else {
    QMetaObject::invokeMethod(
        this, [this] { memResult_->clear(); }, Qt::QueuedConnection);
  }
}

void TfrmMain::ProcessMessages() {
  if (OnWindowThread()) {
    QCoreApplication::processEvents();
    return;
  }
  // On the worker this is where a cancel request reaches the running build;
  // before the engine runs there is nothing to cancel.
  for (int requests = cancelRequests_.exchange(0); requests > 0; --requests) {
    if (core_->IsBusy()) core_->Build();
  }
}

void TfrmMain::ShowWarning(const std::string& text) {
  Ask([&] { dialogs_->ShowWarning(text); });
}
bool TfrmMain::AskYesNo(const std::string& text) {
  return Ask([&] { return dialogs_->AskYesNo(text); });
}
bool TfrmMain::ConfirmOkCancel(const std::string& text) {
  return Ask([&] { return dialogs_->ConfirmOkCancel(text); });
}
void TfrmMain::ShowInformation(const std::string& text) {
  Ask([&] { dialogs_->ShowInformation(text); });
}
void TfrmMain::ShowError(const std::string& text) {
  Ask([&] { dialogs_->ShowError(text); });
}
std::optional<std::string> TfrmMain::InputBox(const std::string& title, const std::string& prompt,
                                              const std::string& text) {
  return Ask([&] { return dialogs_->InputBox(title, prompt, text); });
}
std::optional<std::string> TfrmMain::ChooseFile(const std::string& filter,
                                                const std::string& start) {
  return Ask([&] { return dialogs_->ChooseFile(filter, start); });
}
std::optional<std::string> TfrmMain::ChooseDirectory(const std::string& caption,
                                                     const std::string& start) {
  return Ask([&] { return dialogs_->ChooseDirectory(caption, start); });
}
void TfrmMain::SetCursor(TCursor cursor) {
  Ask([&] { dialogs_->SetCursor(cursor); });
}
std::optional<TDependencyEntry> TfrmMain::DependencyDialog(const TDependencyEntry& entry) {
  return Ask([&] { return dialogs_->DependencyDialog(entry); });
}

int TfrmMain::LogLineCount() const {
  const QTextDocument* document = memResult_->document();
  return document->isEmpty() ? 0 : document->blockCount();
}

void TfrmMain::AppendLine(const std::string& text) {
  // The log never holds more than MaxLogLines + 1 lines.
  if (LogLineCount() > MaxLogLines) memResult_->clear();
  QScrollBar* scroll = memResult_->verticalScrollBar();
  const bool atEnd = scroll->value() == scroll->maximum();

  QTextCharFormat format;
  switch (LogMarkOf(text)) {
    case TLogMark::Error:
      format.setForeground(QColor(0xb0, 0x00, 0x00));
      format.setFontWeight(QFont::Bold);
      break;
    case TLogMark::Warning:
      format.setForeground(QColor(0x9a, 0x5b, 0x00));
      break;
    case TLogMark::None:
      break;
  }
  QString line = ToQt(text);
  line.replace("\r\n", "\n");
  if (line.endsWith('\n')) line.chop(1);
  QTextCursor cursor(memResult_->document());
  cursor.movePosition(QTextCursor::End);
  if (!memResult_->document()->isEmpty()) cursor.insertBlock(QTextBlockFormat(), format);
  cursor.insertText(line, format);
  if (atEnd) scroll->setValue(scroll->maximum());
}

void TfrmMain::CoreChanged() {
  // Read on the thread that runs the core, shown on the window thread.
  TCoreView view;
  view.label = core_->ProjectLabel();
  view.buildCaption = core_->BuildCaption();
  view.projectFile = core_->CurrentProjectFile();
  view.baseIniFile = core_->BaseIniFile();
  view.hasProject = core_->HasProject();
  if (OnWindowThread()) {
    ShowView(view);
  } else {
    QMetaObject::invokeMethod(
        this, [this, view] { ShowView(view); }, Qt::QueuedConnection);
  }
}

void TfrmMain::ShowView(const TCoreView& view) {
  view_ = view;
  lblCurrentProject->setText(ToQt(view.label));
  UpdateMenus();
}

void TfrmMain::UpdateMenus() {
  const bool building = IsBuilding();
  mnuBuild->setText(ToQt(building ? kCancelBuild : view_.buildCaption));
  mnuBuild->setEnabled(view_.hasProject || building);
  mnuFullSetup->setEnabled(view_.hasProject);
  mnuProjectSetup->setEnabled(view_.hasProject);
  // The build's worker owns the core: commands that change the current
  // project or write the log wait until it has returned.
  mnuSaveAs->setEnabled(view_.hasProject && !building);
  mnuOpen->setEnabled(!building);
  mnuConvertBitmaps->setEnabled(!building);
}

void TfrmMain::Guarded(const std::function<void()>& command) {
  // The standard error box for an exception that ends a command.
  try {
    command();
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
}

void TfrmMain::OpenProject() {
  if (IsBuilding()) return;
  Guarded([this] { core_->OpenProject(); });
}

void TfrmMain::Build() {
  if (IsBuilding()) {
    // Handed to the core at the worker's next message processing.
    ++cancelRequests_;
    return;
  }
  if (!view_.hasProject) return;
  core_->MakeAll = cbxMakeAll->isChecked();
  core_->ReportAll = cbxReportAll->isChecked();
  cancelRequests_ = 0;
  worker_ = QThread::create([this] { RunBuild(); });
  connect(worker_, &QThread::finished, this, &TfrmMain::BuildReturned);
  UpdateMenus();
  worker_->start();
}

void TfrmMain::RunBuild() {
  try {
    core_->Build();
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
}

void TfrmMain::BuildReturned() {
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  cancelRequests_ = 0;
  CoreChanged();
  emit buildFinished();
  if (closeWhenDone_) close();
}

void TfrmMain::DestroySetupWindow() { setupWindow_.reset(); }

void TfrmMain::OpenSetup(bool projectOnly) {
  if (!view_.hasProject) return;
  TSetupWindowOptions options;
  options.projectFile = view_.projectFile;
  options.projectIni = SetupProjectIniOf(view_.projectFile);
  options.baseIni = view_.baseIniFile;
  options.projectOnly = projectOnly;
  options.programIni = core_->Config().programSettingsFile;
  DestroySetupWindow();
  Guarded([&] {
    setupWindow_ = std::make_unique<TfrmSetupProject>(
        options, *this,
        [this](const std::string& value) { return EditDependencyEntry(value, *this); }, this);
    setupWindow_->ShowForProject();
  });
}

void TfrmMain::SaveProjectAs() {
  if (IsBuilding() || !view_.hasProject) return;
  Guarded([this] { core_->SaveProjectAs(); });
}

void TfrmMain::ConvertBitmaps() {
  if (IsBuilding()) return;
  Guarded([this] { core_->ConvertBitmaps(); });
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (IsBuilding()) {
    // The engine may still write: cancel, and close once the run returned.
    ++cancelRequests_;
    closeWhenDone_ = true;
    event->ignore();
    return;
  }
  // Nothing is saved on exit; the setup window goes with the program.
  DestroySetupWindow();
  event->accept();
}

}  // namespace tessel
