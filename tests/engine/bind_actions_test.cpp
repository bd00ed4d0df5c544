#include <gtest/gtest.h>

#include <algorithm>

#include "platform/datetime.h"
#include "platform/file_system.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/test_dates.h"

namespace tessel::test {
namespace {

class BindActions : public TEngineTest {
 protected:
  BindActions() : mainWindow(&ui) {}

  static TDateTime At(int minute) { return TestDate(2025, 3, 1, 9, minute); }
  std::string FileAt(const std::string& name, const std::string& bytes, TDateTime when) {
    std::string path = dir.Write(name, bytes);
    EXPECT_TRUE(SetFileLastWriteTime(path, when));
    return path;
  }
  bool WindowHas(const std::string& line) const {
    return std::find(Window().begin(), Window().end(), line) != Window().end();
  }
  std::string IconLines(const std::string& bitmap, const std::string& icon) {
    return "DEPENDENCY=" + bitmap + "\r\nDEPENDANT=" + icon +
           "\r\nBMP256TOCGI=\"$(DEPENDENCY);$(DEPENDANT)\"";
  }

  TMainWindowGuard mainWindow;  // the patcher's window lines land in `ui` too
};

TEST_F(BindActions, IconsConvertOnlyWhenTheBitmapIsNewer) {
  TBmpLayout layout = PlainBmp(92, 64, {{255, 0, 0}});
  std::string bitmap = FileAt("ICON.BMP", BuildBmp(layout), At(10));
  std::string icon = FileAt("ICON.CGI", "old", At(20));
  engine->ReportAll = true;

  EXPECT_EQ(RunLines({IconLines(bitmap, icon)}), psReady);
  EXPECT_EQ(dir.Read("ICON.CGI"), "old");
  EXPECT_TRUE(WindowHas("No news!"));

  SetFileLastWriteTime(bitmap, At(30));
  EXPECT_EQ(RunLines({IconLines(bitmap, icon)}), psReady);
  std::string cgi = dir.Read("ICON.CGI");
  ASSERT_EQ(cgi.size(), 11776u);
  EXPECT_EQ(cgi.substr(0, 2), std::string("\xF8\x00", 2));
}

TEST_F(BindActions, FailedIconChecksReachTheWindowAsForcedLines) {
  TBmpLayout layout = PlainBmp(92, 63);
  std::string bitmap = FileAt("BAD.BMP", BuildBmp(layout), At(10));
  std::string icon = dir.File("BAD.CGI");

  // Included one level deep, so the lines carry one full stop.
  Script("ICONS.PRJ", {IconLines(bitmap, icon)});
  EXPECT_EQ(RunLines({"INCLUDE=" + dir.File("ICONS.PRJ")}), psFailed);
  EXPECT_FALSE(FileExists(icon));
  const std::string file = " (file: " + bitmap + ")";
  EXPECT_TRUE(WindowHas(".Filesize has to be exactly $1B36 Bytes." + file));
  EXPECT_TRUE(WindowHas(".biHeight has to be exactly 64 pixel." + file));
  EXPECT_NE(LogText().find(" biHeight has to be exactly 64 pixel." + file + "\r\n"),
            std::string::npos);
}

TEST_F(BindActions, BindRunsThePatchScriptUnderTheMakeRule) {
  std::string image = FileAt("DEMO.SH3", "IMAGE", At(10));
  std::string addin = dir.File("DEMO.G3A");
  std::string later = Script("LATER.PRJ", {"SEEN=$(STAMP)"});
  // The script builds the add-in from the image and hands a variable back.
  std::string bind = dir.Write("MAKE.TXT",
                               "SOURCEFILE=$(DEPENDENCY)\r\n"
                               "TARGETFILE=$(DEPENDANT)\r\n"
                               "GOTO=FILESIZE\r\n"
                               "INSERTSTRING=$(VERSION)\r\n"
                               "VARIABLES=NEXT,STAMP\r\n"
                               "NEXT=" +
                                   later +
                                   "\r\n"
                                   "STAMP=bound $(VERSION)\r\n");
  std::vector<std::string> lines = {"VERSION=01.02", "DEPENDENCY=" + image, "DEPENDANT=" + addin,
                                    "BIND=" + bind, "INCLUDE=$(NEXT)"};

  EXPECT_EQ(RunLines(lines), psReady);
  EXPECT_EQ(dir.Read("DEMO.G3A"), std::string("IMAGE01.02\0", 11));
  EXPECT_EQ(engine->Vars.ValueOf("SEEN"), "$(STAMP)");
  EXPECT_EQ(engine->ExpandedValue("SEEN", true), "bound 01.02");
  EXPECT_TRUE(WindowHas("Start! MAKE.TXT"));

  // Up to date now: the script does not run again.
  SetFileLastWriteTime(addin, At(20));
  ui.log.clear();
  engine->ReportAll = true;
  EXPECT_EQ(RunLines(lines), psReady);
  EXPECT_FALSE(WindowHas("Start! MAKE.TXT"));
  EXPECT_TRUE(WindowHas("No news!"));

  // The run-argument form forces the step and sets MAKEALL for the rest.
  ui.log.clear();
  EXPECT_EQ(engine->Run("/BIND:" + bind), 0);
  EXPECT_TRUE(WindowHas("Start! MAKE.TXT"));
  EXPECT_EQ(engine->Vars.ValueOf("MAKEALL"), "TRUE");
}

TEST_F(BindActions, AFailingPatchScriptDeletesTheTargetAndEndsTheBuild) {
  std::string image = FileAt("DEMO.SH3", "IMAGE", At(10));
  std::string bind = dir.Write("MAKE.TXT", "SOURCEFILE=" + image +
                                               "\r\n"
                                               "TARGETFILE=" +
                                               dir.File("DEMO.G3A") +
                                               "\r\n"
                                               "CHECKSTRING=0,XXXXX\r\n");
  EXPECT_EQ(RunLines({"DEPENDANT=" + dir.File("DEMO.G3A"), "BIND=" + bind, "AFTER=1"}), psFailed);
  EXPECT_FALSE(FileExists(dir.File("DEMO.G3A")));
  EXPECT_TRUE(std::any_of(Window().begin(), Window().end(), [](const std::string& line) {
    return line.starts_with("Error at lineNo: 3\r\nCheck failed! ");
  }));
  EXPECT_EQ(Window().back(),
            "Step failed: bind script \"" + bind + "\" ended with an error - the build stops.");
  EXPECT_EQ(engine->Vars.IndexOfName("AFTER"), -1);

  // Fixed, the next build binds.
  dir.Write("MAKE.TXT", "SOURCEFILE=" + image + "\r\nTARGETFILE=" + dir.File("DEMO.G3A") + "\r\n");
  EXPECT_EQ(RunLines({"DEPENDANT=" + dir.File("DEMO.G3A"), "BIND=" + bind, "AFTER=1"}), psReady);
  EXPECT_EQ(dir.Read("DEMO.G3A"), "IMAGE");
}

TEST_F(BindActions, AFileErrorOfThePatchScriptNamesTheFileInTheStepFailure) {
  // " -> File error" alone names no file: the step's reason does.
  std::string image = FileAt("DEMO.SH3", "IMAGE", At(10));
  std::string bind =
      dir.Write("MAKE.TXT", "SOURCEFILE=" + image + "\r\nTARGETFILE=" + dir.File("DEMO.G3A") +
                                "\r\nINSERTFILE=" + dir.File("ICON.CGI") + "\r\n");
  EXPECT_EQ(RunLines({"DEPENDANT=" + dir.File("DEMO.G3A"), "BIND=" + bind}), psFailed);
  EXPECT_TRUE(Window().back().starts_with("Step failed: bind script \"" + bind +
                                          "\" ended with an error (Cannot open file \"" +
                                          dir.File("ICON.CGI") + "\": "))
      << Window().back();
  EXPECT_FALSE(FileExists(dir.File("DEMO.G3A")));
}

}  // namespace
}  // namespace tessel::test
