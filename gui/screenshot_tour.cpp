#include "gui/screenshot_tour.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "app/dependency_entry.h"
#include "gui/dependency_dlg.h"
#include "gui/main_window.h"
#include "gui/setup_project.h"
#include "gui/value_list_editor.h"

namespace tessel {

namespace {

class TScreenshotDialogs : public TSilentUserInterface {
 public:
  void ShowWarning(const std::string& text) override { Print("warning", text); }
  bool AskYesNo(const std::string& text) override {
    Print("question", text);
    return false;
  }
  bool ConfirmOkCancel(const std::string& text) override {
    Print("confirmation", text);
    return false;
  }
  void ShowInformation(const std::string& text) override { Print("information", text); }
  void ShowError(const std::string& text) override { Print("error", text); }

 private:
  static void Print(const char* kind, const std::string& text) {
    std::fprintf(stderr, "tessel (%s): %s\n", kind, text.c_str());
  }
};

void Save(QWidget& widget, const QString& directory, const char* name) {
  QApplication::processEvents();
  const QString path = QDir(directory).filePath(name);
  if (!widget.grab().save(path))
    std::fprintf(stderr, "tessel: cannot write %s\n", qPrintable(path));
}

void PicturesAfterBuild(TfrmMain& window, const QString& directory) {
  Save(window, directory, "main-window.png");

  window.OpenSetup(false);
  TfrmSetupProject* setup = window.SetupWindow();
  if (setup != nullptr) {
    setup->Pages()->setCurrentIndex(0);
    Save(*setup, directory, "setup-general.png");
    setup->Pages()->setCurrentIndex(1);
    Save(*setup, directory, "setup-project-compile.png");

    // The dialog as it opens on the project's first dependency.
    TfrmDependencyDlg* dialog = window.DependencyDlg();
    TValueListEditor* dependencies = setup->Editor("vleProjectDependencies");
    if (dialog != nullptr && dependencies->rowCount() > 0) {
      const TDependencyEntry entry = SplitDependency(dependencies->ValueAt(0));
      dialog->Editor()->SetValueAt(0, entry.file);
      dialog->Editor()->SetValueAt(1, entry.type);
      dialog->show();
      Save(*dialog, directory, "dependency-dialog.png");
      dialog->hide();
    }
  }
  window.close();
  QApplication::quit();
}

}  // namespace

std::unique_ptr<TUserInterface> NewScreenshotDialogs() {
  return std::make_unique<TScreenshotDialogs>();
}

void StartScreenshotTour(TfrmMain& window, const QString& directory) {
  QDir().mkpath(directory);
  QTimer::singleShot(0, &window, [&window, directory] {
    QObject::connect(
        &window, &TfrmMain::buildFinished, &window,
        [&window, directory] { PicturesAfterBuild(window, directory); }, Qt::SingleShotConnection);
    window.cbxMakeAll->setChecked(true);
    window.Build();
    if (!window.IsBuilding()) {
      std::fprintf(stderr, "tessel: no project to build for the pictures\n");
      QApplication::exit(1);
    }
  });
}

}  // namespace tessel
