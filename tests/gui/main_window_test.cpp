#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>

#include "gui/main_window.h"
#include "gui/setup_project.h"
#include "gui_test.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/path_split.h"
#include "settings/MyIni.h"
#include "support/FileTool.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/fake_process.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/standin_tool.h"
#include "tests/support/temp_dir.h"
#include "tests/support/text_files.h"

using namespace tessel;

namespace {

const char* const BaseIni = "C:\\SDK\\BaseOptions\\BaseOptions.ini";
const char* const ProjectIni = "C:\\SDK\\Projects\\P.INI";
const char* const ProgramIni = "C:\\TESSEL.INI";
const char* const WorkDir = "C:\\SDK\\WORK";

using test::WriteLines;

std::vector<std::string> LogLines(const TfrmMain& window) {
  std::vector<std::string> lines;
  if (window.LogLineCount() == 0) return lines;
  for (QTextBlock block = window.Log()->document()->begin(); block.isValid();
       block = block.next()) {
    lines.push_back(block.text().toStdString());
  }
  return lines;
}

}  // namespace

class TMainWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TTempDir> drive_;
  std::string oldRoot_;
  std::unique_ptr<test::TScriptedUserInterface> ui_;
  std::unique_ptr<test::TFakeTools> tools_;
  std::unique_ptr<TfrmMain> window_;

  // An installation in C:\SDK with project P, its library already groomed,
  // the (in-process) stand-in tool as C:\SDK\BIN\optlnk, and the last build's version
  // the program's own (no "Make all" box).
  void Install(bool lastProject) {
    WriteLines(BaseIni, {"[vleGeneral]", "SDKDIR=@C:\\SDK@", "TEMPLATEDIR=@$(SDKDIR)@",
                         "HEADERDIR=@$(SDKDIR)@", "DEBUGDIR=@$(SDKDIR)@", "OBJECTDIR=@$(SDKDIR)@",
                         "BINDIR=@$(SDKDIR)\\BIN@", "LIBDIR=@$(SDKDIR)\\LIB@",
                         "PROJECTDIR=@$(SDKDIR)\\Projects@", "WORKDIR=@$(SDKDIR)@",
                         "[vlefx9860LibGrooming]", "OPT_000=@-form=library@"});
    WriteLines(ProjectIni, {"[vleProjectSource]", "SRC_000=@P.CPP@"});
    for (const char* suffix : {".CPP", "_SELECTED.BMP", "_UNSELECTED.BMP"}) {
      WriteLines(std::string("C:\\SDK\\Projects\\P\\P") + suffix, {suffix});
    }
    WriteLines("C:\\SDK\\BIN\\fx9860G_library.lib", {"library"});
    WriteLines("C:\\SDK\\LIB\\fxCG_library.lib", {"groomed"});
    ForceDirectoryPath(WorkDir);
    TQuotedINI program(ProgramIni);
    program.WriteString("PROGRAM", "FileVersion", "1.0.9");
    if (lastProject) program.WriteString("PROGRAM", "LastProject", ProjectIni);
  }

  void Start() {
    TMainCoreConfig config;
    config.programSettingsFile = ProgramIni;
    config.programDirectory = "C:\\SDK\\BIN";
    config.fileVersion = "1.0.9.32";
    config.engineLogPath = drive_->File("ENGINE.LOG");
    window_ = std::make_unique<TfrmMain>(config, ui_.get());
    SetMainWindow(window_.get());
    window_->Startup();
    window_->show();
  }

  // A script whose first tool run sleeps, then a second tool run.
  void WriteSlowScript() {
    WriteLines("C:\\SDK\\Projects\\P.PRJ",
               {"WORKDIR=C:\\SDK\\WORK", "MAKEALL=TRUE", "OPTION=-sleep=700",
                "OPTION=-print=first tool", "EXECUTE=C:\\SDK\\BIN\\optlnk",
                "OPTION=-print=second tool", "EXECUTE=C:\\SDK\\BIN\\optlnk"});
  }

  size_t ToolRuns() const { return test::ReadStandinLog(HostPath(WorkDir)).size(); }

 private slots:
  void init() {
    drive_ = std::make_unique<test::TTempDir>();
    oldRoot_ = DriveRoot();
    SetDriveRoot(drive_->Path());
    ui_ = std::make_unique<test::TScriptedUserInterface>();
    tools_ = std::make_unique<test::TFakeTools>(
        std::vector<std::string>{"C:\\SDK\\BIN\\optlnk", "C:\\SDK\\BIN\\OPTLNK.EXE"});
  }

  void cleanup() {
    if (window_) QTRY_VERIFY_WITH_TIMEOUT(!window_->IsBuilding(), 20000);
    SetMainWindow(nullptr);
    window_.reset();
    tools_.reset();
    ui_.reset();
    SetDriveRoot(oldRoot_);
    drive_.reset();
  }

  void MenusFollowTheCurrentProject() {
    Install(false);
    Start();
    QCOMPARE(window_->size(), QSize(696, 521));
    QCOMPARE(window_->lblCurrentProject->text(), QString(" Project not defined!"));
    QVERIFY(!window_->mnuBuild->isEnabled());
    QVERIFY(!window_->mnuFullSetup->isEnabled());
    QVERIFY(!window_->mnuProjectSetup->isEnabled());
    QVERIFY(!window_->mnuSaveAs->isEnabled());
    QVERIFY(window_->mnuOpen->isEnabled());
    QVERIFY(window_->mnuQuit->isEnabled());
    QVERIFY(window_->mnuConvertBitmaps->isEnabled());
    QCOMPARE(window_->mnuBuild->text(), QString("Build binaries"));
    QCOMPARE(window_->mnuBuild->shortcut(), QKeySequence(Qt::Key_F9));
    QVERIFY(!window_->cbxMakeAll->isChecked());
    QVERIFY(!window_->cbxReportAll->isChecked());
    QCOMPARE(window_->LogLineCount(), 0);

    // Open project through the menu: the file dialog answers with P.INI.
    ui_->inputAnswers = {std::string(ProjectIni)};
    window_->mnuOpen->trigger();
    QCOMPARE(ui_->boxes.front().kind, std::string("file"));
    QCOMPARE(ui_->boxes.front().text, std::string("fxCG-INI|*.INI"));
    QCOMPARE(window_->lblCurrentProject->text(), QString(" ") + ProjectIni);
    for (QAction* item :
         {window_->mnuBuild, window_->mnuFullSetup, window_->mnuProjectSetup, window_->mnuSaveAs}) {
      QVERIFY(item->isEnabled());
    }
    QCOMPARE(TQuotedINI(ProgramIni).ReadString("PROGRAM", "LastProject", ""),
             std::string(ProjectIni));

    // A project that does not exist disables the project commands again.
    ui_->inputAnswers = {std::string("C:\\SDK\\Projects\\GONE.INI")};
    window_->mnuOpen->trigger();
    QCOMPARE(window_->lblCurrentProject->text(), QString(" Project not defined!"));
    QVERIFY(!window_->mnuBuild->isEnabled());
    QVERIFY(!window_->mnuSaveAs->isEnabled());
  }

  // The window's commands reach the core and show what it reports.
  void ProjectCommandsWorkThroughTheWindow() {
    Install(true);
    Start();
    ForceDirectoryPath("C:\\PICS");
    WriteFileBytes("C:\\PICS\\LOGO.BMP", test::BuildBmp(test::PlainBmp(4, 2)));
    ui_->inputAnswers = {std::string("C:\\PICS")};
    window_->mnuConvertBitmaps->trigger();
    QCOMPARE(ui_->boxes.back().text, std::string("Select directory:"));
    std::vector<std::string> log = LogLines(*window_);
    QCOMPARE(log.size(), size_t{2});
    QCOMPARE(log[0], std::string("C:\\SDK\\Projects\\"));  // the remembered directory
    QCOMPARE(log[1], std::string("Converting: C:\\PICS\\LOGO.BMP"));
    QVERIFY(FileExists("C:\\PICS\\LOGO.CPP"));
    QCOMPARE(ui_->cursors.front(), TCursor::HourGlass);
    QCOMPARE(ui_->cursors.back(), TCursor::Default);

    ui_->inputAnswers = {std::string("copy")};
    window_->mnuSaveAs->trigger();
    QCOMPARE(ui_->boxes.back().text, std::string("New project:: (eight characters max.)"));
    QCOMPARE(window_->lblCurrentProject->text(), QString(" C:\\SDK\\Projects\\COPY.INI"));
    QVERIFY(FileExists("C:\\SDK\\Projects\\COPY\\COPY_SELECTED.BMP"));
  }

  void SetupWindowsReplaceEachOther() {
    Install(true);
    Start();
    window_->mnuProjectSetup->trigger();
    QPointer<TfrmSetupProject> first = window_->SetupWindow();
    QVERIFY(first != nullptr);
    QVERIFY(first->isVisible());
    QCOMPARE(first->windowTitle(), QString("Setup Tessel project: P"));
    QVERIFY(!first->Pages()->isTabVisible(0));
    QVERIFY(first->Pages()->isTabVisible(1));

    window_->mnuFullSetup->trigger();
    QVERIFY(first.isNull());  // at most one setup window
    QVERIFY(window_->SetupWindow()->Pages()->isTabVisible(0));

    // Open project destroys it, even when the dialog is cancelled.
    window_->mnuOpen->trigger();
    QVERIFY(window_->SetupWindow() == nullptr);
  }

  void BuildRunsAndTheSameItemCancels() {
    Install(true);
    WriteSlowScript();
    Start();
    window_->mnuBuild->trigger();
    QVERIFY(window_->IsBuilding());
    QCOMPARE(window_->mnuBuild->text(), QString("Cancel build"));
    // The window takes events while the first tool runs.
    QTRY_COMPARE_WITH_TIMEOUT(ToolRuns(), size_t{1}, 10000);
    QVERIFY(window_->IsBuilding());
    QVERIFY(!window_->mnuSaveAs->isEnabled());
    QVERIFY(window_->mnuFullSetup->isEnabled());
    window_->mnuBuild->trigger();  // cancel
    QTRY_VERIFY_WITH_TIMEOUT(!window_->IsBuilding(), 20000);

    // No script line ran after the running one.
    QCOMPARE(ToolRuns(), size_t{1});
    const std::vector<std::string> log = LogLines(*window_);
    QCOMPARE(log.front(), std::string("Execute: ") + ProjectIni);
    QCOMPARE(log.back(), std::string("Cancelled"));
    QCOMPARE(window_->mnuBuild->text(), QString("Build project"));
    QVERIFY(window_->mnuSaveAs->isEnabled());
    QVERIFY(ui_->boxes.empty());

    // A build to its end.
    window_->mnuBuild->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!window_->IsBuilding(), 20000);
    QCOMPARE(ToolRuns(), size_t{3});
    QCOMPARE(LogLines(*window_).back(), std::string("Ready"));
  }

  void LogLinesArriveInTheOrderSent() {
    Install(true);
    std::vector<std::string> script = {"WORKDIR=C:\\SDK\\WORK", "MAKEALL=TRUE"};
    for (int i = 0; i < 300; ++i) script.push_back("OPTION=-print=line " + std::to_string(i));
    script.push_back("EXECUTE=C:\\SDK\\BIN\\optlnk");
    script.push_back("EXECUTE=C:\\SDK\\BIN\\optlnk");
    WriteLines("C:\\SDK\\Projects\\P.PRJ", script);
    Start();
    window_->mnuBuild->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!window_->IsBuilding(), 20000);

    std::vector<std::string> printed;
    for (const std::string& line : LogLines(*window_)) {
      const size_t at = line.find("line ");
      if (at != std::string::npos) printed.push_back(line.substr(at));
    }
    std::vector<std::string> expected;
    for (int run = 0; run < 2; ++run) {
      for (int i = 0; i < 300; ++i) expected.push_back("line " + std::to_string(i));
    }
    QCOMPARE(printed, expected);
    QCOMPARE(LogLines(*window_).back(), std::string("Ready"));
  }

  void ClosingDuringABuildCancelsAndClosesAfterTheRun() {
    Install(true);
    WriteSlowScript();
    Start();
    window_->mnuBuild->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(ToolRuns(), size_t{1}, 10000);
    window_->mnuQuit->trigger();
    QVERIFY(window_->isVisible());  // the run has not returned yet
    QTRY_VERIFY_WITH_TIMEOUT(!window_->IsBuilding(), 20000);
    QTRY_VERIFY(!window_->isVisible());
    QCOMPARE(ToolRuns(), size_t{1});
    QCOMPARE(LogLines(*window_).back(), std::string("Cancelled"));
  }

  void LogKeepsAtMostTenThousandAndOneLines() {
    Install(false);
    Start();
    for (int i = 1; i <= 10001; ++i) window_->LogLine("line " + std::to_string(i));
    QCOMPARE(window_->LogLineCount(), 10001);
    window_->LogLine("line 10002");
    QCOMPARE(LogLines(*window_), std::vector<std::string>{"line 10002"});
    window_->ClearLog();
    QCOMPARE(window_->LogLineCount(), 0);

    // Tool errors, warnings and a failed build stand out.
    window_->LogLine("A.CPP(12): error: missing ;");
    window_->LogLine("A.CPP(13): warning: unused x");
    window_->LogLine("compiling A.CPP");
    window_->LogLine("Finished with errors.");
    std::vector<QColor> colors;
    for (QTextBlock block = window_->Log()->document()->begin(); block.isValid();
         block = block.next()) {
      colors.push_back(block.begin().fragment().charFormat().foreground().color());
    }
    QCOMPARE(colors.size(), size_t{4});
    QVERIFY(colors[0] != colors[2] && colors[1] != colors[2] && colors[0] != colors[1]);
    QCOMPARE(colors[3], colors[0]);
  }
};

TESSEL_GUI_TEST(TMainWindowTest);

#include "main_window_test.moc"
