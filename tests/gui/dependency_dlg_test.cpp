#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/dependency_entry.h"
#include "gui/dependency_dlg.h"
#include "gui/qt_dialogs.h"
#include "gui/value_list_editor.h"
#include "gui_test.h"
#include "tests/support/scripted_ui.h"

using namespace tessel;

class TDependencyDlgTest : public QObject {
  Q_OBJECT

  // Runs `act` once the dialog is up (it closes the dialog).
  static void WhenShown(TfrmDependencyDlg& dialog, std::function<void()> act) {
    QTimer::singleShot(0, &dialog, [&dialog, act] {
      QVERIFY(dialog.isVisible());
      act();
    });
  }

 private slots:
  void LooksAsDescribed() {
    test::TScriptedUserInterface ui;
    TfrmDependencyDlg dialog(ui);
    QCOMPARE(dialog.windowTitle(), QString("Dependency dialog"));
    TValueListEditor* grid = dialog.Editor();
    QCOMPARE(grid->objectName(), QString("vleDependencyDlg"));
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->KeyAt(0), std::string("File"));
    QCOMPARE(grid->KeyAt(1), std::string("Type"));
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QString("Key"));
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), QString("Value"));
    QVERIFY(grid->HasValueButton(0));
    QVERIFY(!grid->HasValueButton(1));
    QCOMPARE(dialog.OkButton()->text(), QString("OK"));
    QCOMPARE(dialog.CancelButton()->text(), QString("Cancel"));

    // The type cell offers the five types in order and takes any text.
    auto* combo = qobject_cast<QComboBox*>(
        grid->itemDelegate()->createEditor(grid->viewport(), {}, grid->model()->index(1, 1)));
    QVERIFY(combo != nullptr);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    QCOMPARE(items, QStringList({"Compile", "Link", "Link G3A", "Link RAM BIN", "Bind"}));
    QVERIFY(combo->isEditable());
    delete combo;
  }

  void OkGivesTheCellsCancelKeepsTheArguments() {
    test::TScriptedUserInterface ui;
    TfrmDependencyDlg dialog(ui);

    std::string file = "A.H", type = "Compile";
    WhenShown(dialog, [&] {
      QCOMPARE(dialog.Editor()->ValueAt(0), std::string("A.H"));
      QCOMPARE(dialog.Editor()->ValueAt(1), std::string("Compile"));
      dialog.Editor()->SetValueAt(0, "B.H");
      dialog.Editor()->SetValueAt(1, "Link G3A");
      dialog.OkButton()->click();
    });
    QVERIFY(dialog.Execute(file, type));
    QCOMPARE(file, std::string("B.H"));
    QCOMPARE(type, std::string("Link G3A"));

    WhenShown(dialog, [&] {
      dialog.Editor()->SetValueAt(0, "C.H");
      dialog.CancelButton()->click();
    });
    QVERIFY(!dialog.Execute(file, type));
    QCOMPARE(file, std::string("B.H"));
    QCOMPARE(type, std::string("Link G3A"));
  }

  void FileButtonAsksForAFile() {
    test::TScriptedUserInterface ui;
    ui.inputAnswers = {std::string("/sdk/include/X.H"), std::nullopt};
    TfrmDependencyDlg dialog(ui);
    std::string file = "$(HEADERDIR)\\OLD.H", type = "Bind";
    WhenShown(dialog, [&] {
      emit dialog.Editor()->valueButtonClicked(0);  // chosen
      emit dialog.Editor()->valueButtonClicked(0);  // cancelled: the cell stays
      dialog.OkButton()->click();
    });
    QVERIFY(dialog.Execute(file, type));
    QCOMPARE(file, std::string("/sdk/include/X.H"));
    QCOMPARE(type, std::string("Bind"));
  }

  // Edit entry of the application core over the Qt dialogs and this dialog.
  void EditEntryThroughTheDialog() {
    test::TScriptedUserInterface ui;
    TfrmDependencyDlg dialog(ui);
    TQtDialogs dialogs(nullptr);
    dialogs.SetDependencyDialog(&dialog);
    TValueListEditor* grid = dialog.Editor();

    // An empty entry with both cells left empty gives ";".
    WhenShown(dialog, [&] { dialog.OkButton()->click(); });
    QCOMPARE(EditDependencyEntry("", dialogs), std::string(";"));

    // Without a separator the whole value is the file, the type is empty.
    WhenShown(dialog, [&] {
      QCOMPARE(grid->ValueAt(0), std::string("$(PROJECTDIR)\\A.H"));
      QCOMPARE(grid->ValueAt(1), std::string(""));
      dialog.OkButton()->click();
    });
    QCOMPARE(EditDependencyEntry("$(PROJECTDIR)\\A.H", dialogs),
             std::string("$(PROJECTDIR)\\A.H;"));

    // A third field is not shown and is dropped on OK.
    WhenShown(dialog, [&] {
      QCOMPARE(grid->ValueAt(0), std::string("A"));
      QCOMPARE(grid->ValueAt(1), std::string("B"));
      dialog.OkButton()->click();
    });
    QCOMPARE(EditDependencyEntry("A;B;C", dialogs), std::string("A;B"));

    // Cancel returns the value unchanged, even after edits.
    WhenShown(dialog, [&] {
      grid->SetValueAt(0, "X");
      grid->SetValueAt(1, "Bind");
      dialog.CancelButton()->click();
    });
    QCOMPARE(EditDependencyEntry("A;B;C", dialogs), std::string("A;B;C"));
  }
};

TESSEL_GUI_TEST(TDependencyDlgTest);

#include "dependency_dlg_test.moc"
