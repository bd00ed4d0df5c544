#pragma once
// The dependency dialog: edits one entry of a project's dependency list, a
// file and the kind of build step that depends on it. Created once, hidden,
// when the program starts; shown modally for each edit.

#include <QDialog>
#include <string>

#include "support/user_interface.h"

class QPushButton;

namespace tessel {

class TValueListEditor;

class TfrmDependencyDlg : public QDialog {
  Q_OBJECT

 public:
  // The "File" row's button asks `ui` for a file.
  TfrmDependencyDlg(TUserInterface& ui, QWidget* parent = nullptr);

  // Shows the two cells, runs the dialog modally and, on OK, gives back
  // what the cells hold. False on Cancel (the arguments are unchanged).
  bool Execute(std::string& file, std::string& type);

  TValueListEditor* Editor() const { return vleDependencyDlg_; }
  QPushButton* OkButton() const { return btnOK_; }
  QPushButton* CancelButton() const { return btnCancel_; }

 private:
  void ChooseFile();

  TUserInterface& ui_;
  TValueListEditor* vleDependencyDlg_;
  QPushButton* btnOK_;
  QPushButton* btnCancel_;
};

}  // namespace tessel
