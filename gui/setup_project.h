#pragma once
// The setup window: the base settings file and the current project's
// settings file as 21 key/value editors on eight pages, with value
// choosers, a Save command and a layout kept between sessions. A thin front
// end over the settings model: loading, storing, checks, backups and script
// generation are the model's.

#include <QSize>
#include <QWidget>
#include <string>
#include <vector>

#include "setup/setup_model.h"
#include "setup/value_choosers.h"
#include "support/user_interface.h"

class QPushButton;
class QSplitter;
class QTabWidget;
class QGroupBox;

namespace tessel {

class TValueListEditor;

struct TSetupWindowOptions {
  std::string projectFile;   // the current project file
  std::string projectIni;    // the project settings file the editors use
  std::string baseIni;       // the base settings file
  bool projectOnly = false;  // "Project Setup": only "Project compile" shows
  std::string programIni;    // the program settings file that keeps the layout
  QSize screen;              // the screen to scale the layout to; invalid: the real one
};

class TfrmSetupProject : public QWidget {
  Q_OBJECT

 public:
  static constexpr int DesignWidth = 916;
  static constexpr int DesignHeight = 576;
  static constexpr int DesignLeft = 58;
  static constexpr int DesignTop = 99;

  // Builds the window and runs Opening: editors set up and loaded, pages of
  // other modes hidden, the layout restored, the snapshot taken. Boxes and
  // choosers go through `ui`; dependency rows are edited by `editDependency`.
  TfrmSetupProject(TSetupWindowOptions options, TUserInterface& ui,
                   TDependencyEditor editDependency, QWidget* parent = nullptr);
  ~TfrmSetupProject() override;

  // Caption "Setup Tessel project: " + project name, then shown without
  // blocking.
  void ShowForProject();

  // The Save command (button "Save").
  void Save();
  // The deactivation question: asked when the editors hold unsaved changes.
  void Deactivated();
  // Runs the value chooser of a row.
  void ValueButton(TValueListEditor* editor, int row);

  TValueListEditor* Editor(const std::string& name) const;
  QTabWidget* Pages() const { return pageControl_; }
  QPushButton* SaveButton() const { return btnSave_; }
  const TSetupModel& Model() const { return model_; }
  // The editors' rows as the model holds them, after taking over the cells.
  void PullEditors();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A control whose size the layout keeps: a child of a splitter that does
  // not fill it (aligned top in a vertical, left in a horizontal splitter).
  struct TLayoutControl {
    QWidget* widget;
    QSplitter* splitter;
    int index;
    int size;  // wanted size until the splitter is laid out
  };

  QWidget* Page(const char* name, const char* caption);
  QGroupBox* Group(const char* name, const char* caption, const char* editor);
  QSplitter* Split(Qt::Orientation orientation, const char* name,
                   std::vector<std::pair<QWidget*, int>> children);
  void BuildPages();
  void SetUpEditors();
  void PushEditors();
  void NewRow(TValueListEditor* editor);
  QSize ScreenSize() const;
  void RestoreLayout();
  void StoreLayout();
  void ApplySplitterSizes(QSplitter* splitter);

  TSetupWindowOptions options_;
  TUserInterface& ui_;
  TDependencyEditor editDependency_;
  TSetupModel model_;
  QTabWidget* pageControl_ = nullptr;
  QPushButton* btnSave_ = nullptr;
  std::vector<TValueListEditor*> editors_;      // creation order
  std::vector<TLayoutControl> layoutControls_;  // creation order
  std::vector<QSplitter*> laidOut_;
  int modal_ = 0;  // own dialogs and commands running: no deactivation question
};

}  // namespace tessel
