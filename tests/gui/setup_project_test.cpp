#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "gui/setup_project.h"
#include "gui/value_list_editor.h"
#include "gui_test.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/path_split.h"
#include "settings/MyIni.h"
#include "support/FileTool.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/support/text_files.h"

using namespace tessel;

namespace {

const char* const Base = "C:\\SDK\\BaseOptions\\BaseOptions.ini";
const char* const Project = "C:\\SDK\\Projects\\DEMO.INI";
const char* const ProjectScript = "C:\\SDK\\Projects\\DEMO.PRJ";
const char* const ProgramIni = "C:\\BIN\\TESSEL.INI";

using test::WriteLines;

}  // namespace

class TSetupProjectTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TTempDir> drive_;
  std::string oldRoot_;
  std::unique_ptr<test::TScriptedUserInterface> ui_;
  std::unique_ptr<test::TMainWindowGuard> guard_;
  std::vector<std::string> edited_;  // dependency values handed to the editor

  std::unique_ptr<TfrmSetupProject> Open(bool projectOnly, QSize screen = QSize(1024, 768)) {
    TSetupWindowOptions options;
    options.projectFile = Project;
    options.projectIni = Project;
    options.baseIni = Base;
    options.projectOnly = projectOnly;
    options.programIni = ProgramIni;
    options.screen = screen;
    return std::make_unique<TfrmSetupProject>(options, *ui_, [this](const std::string& value) {
      edited_.push_back(value);
      return "EDITED;Link";
    });
  }

 private slots:
  void init() {
    drive_ = std::make_unique<test::TTempDir>();
    oldRoot_ = DriveRoot();
    SetDriveRoot(drive_->Path());
    ui_ = std::make_unique<test::TScriptedUserInterface>();
    guard_ = std::make_unique<test::TMainWindowGuard>(ui_.get());
    edited_.clear();
    WriteLines(Base, {"[vleGeneral]", "SDKDIR=@C:\\SDK@", "TEMPLATEDIR=@C:\\SDK\\Templates@",
                      "HEADERDIR=@C:\\SDK@", "DEBUGDIR=@C:\\SDK@", "OBJECTDIR=@C:\\SDK@",
                      "BINDIR=@C:\\SDK@", "LIBDIR=@C:\\SDK@", "PROJECTDIR=@C:\\SDK\\Projects@",
                      "WORKDIR=@C:\\SDK@", "ASM_CMD=@asm@", "LNK_CMD=@lnk@", "COMPILE_CMD=@cc@",
                      "MAXBACKUP=@1@", "[vleRequiredDirectories]", "OPT_000=@$(SDKDIR)\\Templates@",
                      "[vleLink]", "OPT_000=@-a@"});
    WriteLines(Project, {"[vleProjectBindOptions]", "Makescript=@C:\\SDK\\Projects\\BIND.TXT@",
                         "Version=@1.02.0000@", "Selected bitmap=@@", "[vleProjectSource]",
                         "SRC_000=@A.CPP@", "[vleProjectDependencies]", "DEP_000=@A.H;Compile@"});
    ForceDirectoryPath("C:\\SDK\\Templates");
    // Backups are made at most once a minute of a file's changes.
    SetFileLastWriteTime(Base, 40000.5);
    SetFileLastWriteTime(Project, 40000.5);
  }

  void cleanup() {
    guard_.reset();
    ui_.reset();
    SetDriveRoot(oldRoot_);
    drive_.reset();
  }

  void PagesEditorsAndCaption() {
    auto window = Open(false);
    QTabWidget* pages = window->Pages();
    QStringList captions;
    for (int i = 0; i < pages->count(); ++i) {
      captions << pages->tabText(i);
      QVERIFY(pages->isTabVisible(i));
    }
    QCOMPARE(captions,
             QStringList({"General settings", "Project compile", "Project link", "Project misc",
                          "Tools-library", "Syscall library", "ASM/C options", "Linker options"}));
    QCOMPARE(pages->currentIndex(), 3);  // "Project misc" without a stored layout
    QCOMPARE(window->SaveButton()->text(), QString("Save"));

    // Every section is loaded into its editor, every row with a value button.
    TValueListEditor* general = window->Editor("vleGeneral");
    QCOMPARE(general->rowCount(), 13);
    QCOMPARE(general->ValueAt(7), std::string("C:\\SDK\\Projects"));
    QVERIFY(general->HasValueButton(12));
    QCOMPARE(window->Editor("vleProjectSource")->KeyAt(0), std::string("SRC_000"));
    QVERIFY(window->Editor("vleProjectSource")->HasValueButton(0));
    QCOMPARE(window->Editor("vleProjectBindOptions")->ValueAt(2), std::string("*empty*"));
    // List editors: fixed keys, rows can be added; syscalls: keys edited too.
    QVERIFY(!window->Editor("vleLinkLibMod")->KeysEditable());
    QVERIFY(window->Editor("vleLinkLibMod")->RowsEditable());
    QVERIFY(window->Editor("vleSyscalls")->KeysEditable());
    QVERIFY(!general->RowsEditable());

    window->ShowForProject();
    QCOMPARE(window->windowTitle(), QString("Setup Tessel project: DEMO"));
    window->hide();

    // The caption holds the first eight characters of the project's name.
    TSetupWindowOptions options;
    options.projectFile = "C:\\P\\myprogram.ini";
    options.projectIni = "C:\\P\\MYPROGRAM.INI";
    options.baseIni = Base;
    TfrmSetupProject longName(options, *ui_, nullptr);
    longName.ShowForProject();
    QCOMPARE(longName.windowTitle(), QString("Setup Tessel project: MYPROGRA"));
    longName.hide();
  }

  void ProjectSetupShowsOnlyProjectCompile() {
    WriteLines(ProgramIni, {"[uSetupProject]", "PAGECONTROL=@0@"});
    auto window = Open(true);
    QTabWidget* pages = window->Pages();
    for (int i = 0; i < pages->count(); ++i) QCOMPARE(pages->isTabVisible(i), i == 1);
    QCOMPARE(pages->currentIndex(), 1);
    // Hidden pages are loaded all the same.
    QCOMPARE(window->Editor("vleLink")->ValueAt(0), std::string("-a"));
  }

  void SaveWithoutChangeStoresNothingButWritesScripts() {
    const std::string baseBefore = ReadFileBytes(Base);
    auto window = Open(false);
    window->SaveButton()->click();
    QCOMPARE(ReadFileBytes(Base), baseBefore);
    QVERIFY(ListDirectory("C:\\SDK\\BaseOptions\\*.BAK").empty());
    QVERIFY(FileExists(ProjectScript));
    QCOMPARE(ui_->boxes.size(), size_t{1});
    QCOMPARE(ui_->boxes[0].text, std::string("Save and script-building successful."));
  }

  void SaveStoresEditsAndShowsStoredValues() {
    auto window = Open(false);
    window->Editor("vleLink")->SetValueAt(0, "-changed");
    window->Editor("vleProjectBindOptions")->SetValueAt(2, "C:\\SDK\\Projects\\S.BMP");
    window->SaveButton()->click();

    QCOMPARE(TQuotedINI(Base).ReadString("vleLink", "OPT_000", ""), std::string("-changed"));
    QVERIFY(FileExists("C:\\SDK\\BaseOptions\\BaseOptions_1.BAK"));
    // The prefix substitution shows in the row at once.
    QCOMPARE(window->Editor("vleProjectBindOptions")->ValueAt(2),
             std::string("$(PROJECTDIR)\\S.BMP"));
    QCOMPARE(window->Editor("vleGeneral")->ValueAt(1), std::string("$(SDKDIR)\\Templates"));
    QCOMPARE(ui_->boxes.back().text, std::string("Save and script-building successful."));
    QVERIFY(!window->Model().HasChanges());
  }

  void SaveRefusesABlankGeneralRow() {
    const std::string baseBefore = ReadFileBytes(Base);
    auto window = Open(false);
    window->Editor("vleGeneral")->SetValueAt(8, "");  // WORKDIR
    window->SaveButton()->click();
    QCOMPARE(ui_->boxes.size(), size_t{1});
    QCOMPARE(ui_->boxes[0].kind, std::string("error"));
    QCOMPARE(ui_->boxes[0].text,
             std::string("Item WORKDIR is empty!\r\nAny item in General parameters must not be "
                         "empty!"));
    QCOMPARE(ReadFileBytes(Base), baseBefore);
    QVERIFY(!FileExists(ProjectScript));
  }

  void NewRowsGetTemporaryKeysAndAreStoredNumbered() {
    auto window = Open(false);
    TValueListEditor* sources = window->Editor("vleProjectSource");
    sources->setFocus();
    sources->setCurrentCell(0, 1);
    QTest::keyClick(sources, Qt::Key_Insert);
    QCOMPARE(sources->rowCount(), 2);
    const std::string key = sources->KeyAt(1);
    QVERIFY2(key.rfind("NEW_", 0) == 0 && key.size() > 4 &&
                 key.find_first_not_of("0123456789", 4) == std::string::npos,
             key.c_str());
    QVERIFY(sources->HasValueButton(1));
    // A key released on a row that has a key changes nothing.
    QTest::keyClick(sources, Qt::Key_Insert);
    const std::string second = sources->KeyAt(2);
    sources->setCurrentCell(1, 1);
    QTest::keyClick(sources, Qt::Key_Shift);
    QCOMPARE(sources->KeyAt(1), key);

    sources->SetValueAt(1, "B.CPP");
    window->SaveButton()->click();
    QCOMPARE(TQuotedINI(Project).ReadString("vleProjectSource", "SRC_001", ""),
             std::string("B.CPP"));
    QVERIFY(!TQuotedINI(Project).ValueExists("vleProjectSource", second));
    window.reset();
    auto reopened = Open(false);
    QCOMPARE(reopened->Editor("vleProjectSource")->KeyAt(1), std::string("SRC_001"));
  }

  void ValueButtonsChangeTheirOwnRow() {
    auto window = Open(false);
    TValueListEditor* required = window->Editor("vleRequiredProjectDirectories");
    QTest::keyClick(required, Qt::Key_Insert);
    ui_->inputAnswers = {std::string("C:\\SDK\\Projects\\EXTRA")};
    emit required->valueButtonClicked(0);
    QCOMPARE(required->ValueAt(0), std::string("$(SDKDIR)\\Projects\\EXTRA"));
    QCOMPARE(ui_->boxes.back().kind, std::string("directory"));
    QCOMPARE(ui_->boxes.back().text, std::string("Select directory:"));
    QCOMPARE(window->Editor("vleRequiredDirectories")->ValueAt(0),
             std::string("$(SDKDIR)\\Templates"));

    // Dependency rows go through the dependency dialog.
    emit window->Editor("vleProjectDependencies")->valueButtonClicked(0);
    QCOMPARE(edited_, std::vector<std::string>{"A.H;Compile"});
    QCOMPARE(window->Editor("vleProjectDependencies")->ValueAt(0), std::string("EDITED;Link"));
  }

  void EditedKeysStayUnique() {
    WriteLines(Base, {"[vleSyscalls]", "LIBRARY=@SYSCALLS;;20200101000000@",
                      "0C3=@void A(void);a.h;20200101000000@"});
    auto window = Open(false);
    TValueListEditor* syscalls = window->Editor("vleSyscalls");
    QCOMPARE(syscalls->KeyAt(1), std::string("0C3"));
    syscalls->item(1, 0)->setText("library");  // as the cell editor writes it
    QCOMPARE(syscalls->KeyAt(1), std::string("0C3"));
    QCOMPARE(ui_->boxes.size(), size_t{1});
    QCOMPARE(ui_->boxes[0].text, std::string("Duplicate key: \"library\""));
    syscalls->item(1, 0)->setText("0C4");
    syscalls->item(1, 0)->setText("LIBRARY");
    QCOMPARE(syscalls->KeyAt(1), std::string("0C4"));
    QCOMPARE(ui_->boxes.size(), size_t{2});
  }

  void DeactivationAsksToSaveChanges() {
    auto window = Open(false);
    window->show();
    window->Deactivated();
    QVERIFY(ui_->boxes.empty());  // nothing changed, nothing asked

    window->Editor("vleLink")->SetValueAt(0, "-b");
    window->Deactivated();  // Cancel: the edit stays, unsaved
    QCOMPARE(ui_->boxes.size(), size_t{1});
    QCOMPARE(ui_->boxes[0].kind, std::string("okcancel"));
    QCOMPARE(ui_->boxes[0].text,
             std::string("Some settings have been changed, but have not been saved.\r\nSave now?"));
    QCOMPARE(TQuotedINI(Base).ReadString("vleLink", "OPT_000", ""), std::string("-a"));
    QCOMPARE(window->Editor("vleLink")->ValueAt(0), std::string("-b"));

    ui_->okCancelAnswers = {true};
    window->Deactivated();  // OK saves
    QCOMPARE(TQuotedINI(Base).ReadString("vleLink", "OPT_000", ""), std::string("-b"));
    QCOMPARE(ui_->boxes.back().text, std::string("Save and script-building successful."));
    window->hide();
  }

  void LayoutIsScaledToTheScreenAndStoredOnClose() {
    WriteLines(ProgramIni,
               {"[uSetupProject]", "PAGECONTROL=@1@", "SCREENHEIGHT=@768@", "SCREENWIDTH=@1024@",
                "MAINHEIGHT=@500@", "MAINWIDTH=@800@", "MAINTOP=@50@", "MAINLEFT=@60@",
                "gbxProjectSource.h=@100@", "gbxRequiredDirectories.w=@250@"});
    auto window = Open(false, QSize(2048, 1536));
    QCOMPARE(window->size(), QSize(1600, 1000));
    QCOMPARE(window->pos(), QPoint(120, 100));
    QCOMPARE(window->Pages()->currentIndex(), 1);
    // Panels take their sizes once their page shows.
    window->show();
    QApplication::processEvents();
    QCOMPARE(window->findChild<QWidget*>("gbxProjectSource")->height(), 200);

    window->close();
    const TQuotedINI ini(ProgramIni);
    const std::vector<std::string> keys = ini.ReadSection("uSetupProject");
    QVERIFY(keys.size() > 7);
    QCOMPARE(std::vector<std::string>(keys.begin(), keys.begin() + 7),
             (std::vector<std::string>{"PAGECONTROL", "SCREENHEIGHT", "SCREENWIDTH", "MAINHEIGHT",
                                       "MAINWIDTH", "MAINTOP", "MAINLEFT"}));
    QCOMPARE(ini.ReadInteger("uSetupProject", "SCREENHEIGHT", 0), 1536);
    QCOMPARE(ini.ReadInteger("uSetupProject", "MAINHEIGHT", 0), 1000);
    QCOMPARE(ini.ReadInteger("uSetupProject", "gbxProjectSource.h", 0), 200);
    QCOMPARE(ini.ReadInteger("uSetupProject", "gbxRequiredDirectories.w", 0), 500);
    // Controls that fill their parent get no entry.
    QVERIFY(!ini.ValueExists("uSetupProject", "gbxProjectDependencies.h"));
  }
};

TESSEL_GUI_TEST(TSetupProjectTest);

#include "setup_project_test.moc"
