#include "gui/dependency_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dependency_entry.h"
#include "gui/value_list_editor.h"

namespace tessel {

namespace {

constexpr int kFileRow = 0;
constexpr int kTypeRow = 1;

}  // namespace

TfrmDependencyDlg::TfrmDependencyDlg(TUserInterface& ui, QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setObjectName("frmDependencyDlg");
  setWindowTitle("Dependency dialog");
  setModal(true);

  vleDependencyDlg_ = new TValueListEditor("vleDependencyDlg", this);
  TEditorRows rows;
  rows.Add("File", "");
  rows.Add("Type", "");
  vleDependencyDlg_->SetRows(rows, false);
  vleDependencyDlg_->SetValueButton(kFileRow, true);
  QStringList types;
  for (const char* type : kDependencyTypes) types << type;
  vleDependencyDlg_->SetPickList(kTypeRow, types);
  vleDependencyDlg_->SetKeyColumnWidth(80);
  vleDependencyDlg_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  vleDependencyDlg_->setFixedHeight(vleDependencyDlg_->horizontalHeader()->sizeHint().height() +
                                    2 * vleDependencyDlg_->verticalHeader()->defaultSectionSize() +
                                    2 * vleDependencyDlg_->frameWidth());
  connect(vleDependencyDlg_, &TValueListEditor::valueButtonClicked, this, [this](int row) {
    if (row == kFileRow) ChooseFile();
  });

  btnOK_ = new QPushButton("OK", this);
  btnOK_->setObjectName("btnOK");
  btnOK_->setDefault(true);
  btnCancel_ = new QPushButton("Cancel", this);
  btnCancel_->setObjectName("btnCancel");
  connect(btnOK_, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK_);
  buttons->addWidget(btnCancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(vleDependencyDlg_);
  layout->addStretch();
  layout->addLayout(buttons);
  resize(440, 140);
}

bool TfrmDependencyDlg::Execute(std::string& file, std::string& type) {
  vleDependencyDlg_->SetValueAt(kFileRow, file);
  vleDependencyDlg_->SetValueAt(kTypeRow, type);
  vleDependencyDlg_->setCurrentCell(kFileRow, 1);
  const bool accepted = exec() == QDialog::Accepted;
  vleDependencyDlg_->CommitEdits();
  if (!accepted) return false;
  file = vleDependencyDlg_->ValueAt(kFileRow);
  type = vleDependencyDlg_->ValueAt(kTypeRow);
  return true;
}

void TfrmDependencyDlg::ChooseFile() {
  // The cell's own editor must not write its old text over the choice.
  vleDependencyDlg_->CommitEdits();
  const std::optional<std::string> chosen =
      ui_.ChooseFile("*.*", vleDependencyDlg_->ValueAt(kFileRow));
  if (chosen) vleDependencyDlg_->SetValueAt(kFileRow, *chosen);
}

}  // namespace tessel
