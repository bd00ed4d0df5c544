#include "gui/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "gui/dependency_dlg.h"
#include "gui/file_filter.h"
#include "gui/qt_text.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "support/text.h"

namespace tessel {

namespace {

// The system's texts break lines with CR LF; Qt's labels want LF alone.
QString Shown(const std::string& text) { return ToQt(text).replace("\r\n", "\n"); }

QMessageBox::StandardButton Box(QWidget* parent, QMessageBox::Icon icon, const char* title,
                                const std::string& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, title, Shown(text), buttons, parent);
  box.setDefaultButton(defaultButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

TQtDialogs::~TQtDialogs() {
  if (hourGlass_) QApplication::restoreOverrideCursor();
}

void TQtDialogs::ProcessMessages() { QCoreApplication::processEvents(); }

void TQtDialogs::ShowWarning(const std::string& text) {
  Box(parent_, QMessageBox::Warning, "Warning", text, QMessageBox::Ok, QMessageBox::Ok);
}

bool TQtDialogs::AskYesNo(const std::string& text) {
  return Box(parent_, QMessageBox::Warning, "Warning", text, QMessageBox::Yes | QMessageBox::No,
             QMessageBox::Yes) == QMessageBox::Yes;
}

bool TQtDialogs::ConfirmOkCancel(const std::string& text) {
  return Box(parent_, QMessageBox::Question, "Confirm", text, QMessageBox::Ok | QMessageBox::Cancel,
             QMessageBox::Ok) == QMessageBox::Ok;
}

void TQtDialogs::ShowInformation(const std::string& text) {
  Box(parent_, QMessageBox::Information, "Information", text, QMessageBox::Ok, QMessageBox::Ok);
}

void TQtDialogs::ShowError(const std::string& text) {
  Box(parent_, QMessageBox::Critical, "Error", text, QMessageBox::Ok, QMessageBox::Ok);
}

std::optional<std::string> TQtDialogs::InputBox(const std::string& title, const std::string& prompt,
                                                const std::string& text) {
  bool ok = false;
  const QString answer = QInputDialog::getText(parent_, ToQt(title), Shown(prompt),
                                               QLineEdit::Normal, ToQt(text), &ok);
  if (!ok) return std::nullopt;
  return FromQt(answer);
}

std::optional<std::string> TQtDialogs::ChooseFile(const std::string& filter,
                                                  const std::string& start) {
  QFileDialog dialog(parent_);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilter(QtFileFilter(filter));
  if (!IsBlank(start)) {
    const QFileInfo proposed(ToQt(HostPath(start)));
    if (proposed.isDir()) {
      dialog.setDirectory(proposed.absoluteFilePath());
    } else {
      dialog.setDirectory(proposed.absolutePath());
      dialog.selectFile(proposed.fileName());
    }
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return FromQt(dialog.selectedFiles().first());
}

std::optional<std::string> TQtDialogs::ChooseDirectory(const std::string& caption,
                                                       const std::string& start) {
  // The remembered directory is preselected only while it exists.
  QString startDir;
  if (!IsBlank(start) && DirectoryExists(start)) startDir = ToQt(HostPath(start));
  const QString chosen = QFileDialog::getExistingDirectory(
      parent_, ToQt(caption), startDir,
      QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (chosen.isEmpty()) return std::nullopt;
  return FromQt(chosen);
}

void TQtDialogs::SetCursor(TCursor cursor) {
  if (cursor == TCursor::HourGlass && !hourGlass_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    hourGlass_ = true;
  } else if (cursor == TCursor::Default && hourGlass_) {
    QApplication::restoreOverrideCursor();
    hourGlass_ = false;
  }
}

std::optional<TDependencyEntry> TQtDialogs::DependencyDialog(const TDependencyEntry& entry) {
  if (dependencyDlg_.isNull()) return std::nullopt;
  TDependencyEntry edited = entry;
  if (!dependencyDlg_->Execute(edited.file, edited.type)) return std::nullopt;
  return edited;
}

}  // namespace tessel
