#include <gtest/gtest.h>

#include "platform/datetime.h"
#include "platform/file_system.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/test_dates.h"

namespace tessel::test {
namespace {

class MakeRules : public TEngineTest {
 protected:
  static TDateTime At(int second) { return TestDate(2024, 1, 10, 10, 0, second); }
  std::string FileAt(const std::string& name, TDateTime when) {
    std::string path = dir.Write(name, "x");
    EXPECT_TRUE(SetFileLastWriteTime(path, when));
    return path;
  }
  void Step(const std::string& dependency, const std::string& dependant) {
    engine->Vars.SetValue("DEPENDENCY", dependency);
    engine->Vars.SetValue("DEPENDANT", dependant);
  }
};

TEST_F(MakeRules, TimesAtFullPrecisionDecide) {
  std::string source = FileAt("src.c", At(0));
  std::string target = FileAt("src.obj", At(0));
  Step("\"" + source + "\"", "\"" + target + "\"");
  EXPECT_TRUE(engine->IsUpToDate()) << "equal times count as up to date";
  EXPECT_EQ(engine->Reason, "");

  // A source saved 100 ms after its object was written, within the same
  // 2-second date, is newer.
  SetFileLastWriteTime(source, At(0) + 0.1 / 86400);
  EXPECT_FALSE(engine->IsUpToDate());
  SetFileLastWriteTime(target, At(0) + 0.1 / 86400);
  EXPECT_TRUE(engine->IsUpToDate());
  SetFileLastWriteTime(target, At(0));
  SetFileLastWriteTime(source, At(2));
  EXPECT_FALSE(engine->IsUpToDate());

  Step(source, dir.File("missing.obj"));
  EXPECT_FALSE(engine->IsUpToDate()) << "a missing target is built";

  Step(source, " \t");
  EXPECT_TRUE(engine->IsUpToDate()) << "no target, no build by date";

  // Further dependencies: a missing one never forces, a newer one does.
  SetFileLastWriteTime(source, At(0));
  Step(source, target);
  engine->Lists[klDependency] = TStringList{"$(DEPENDENCY)", dir.File("gone.h")};
  EXPECT_TRUE(engine->IsUpToDate());
  FileAt("new.h", At(4));
  engine->Vars.SetValue("HDIR", "\"" + dir.Path() + "\"");
  engine->Lists[klDependency]->push_back("$(HDIR)/new.h");
  EXPECT_FALSE(engine->IsUpToDate());

  // A project dependency kept with its type names the file before the ";".
  engine->Lists[klDependency] = TStringList{"$(HDIR)/new.h;Compile"};
  EXPECT_FALSE(engine->IsUpToDate());
  engine->Lists[klDependency] = TStringList{"$(HDIR)/gone.h;Compile"};
  EXPECT_TRUE(engine->IsUpToDate());
}

TEST_F(MakeRules, MakeAllAndForceUpdateOverrideTheDates) {
  std::string source = FileAt("src.c", At(0));
  std::string target = FileAt("src.obj", At(10));
  Step(source, target);
  ASSERT_TRUE(engine->IsUpToDate());

  engine->Vars.SetValue("MAKEALL", "True");
  EXPECT_TRUE(engine->IsUpToDate());
  engine->Vars.SetValue("MAKEALL", "\"TRUE\"");
  EXPECT_FALSE(engine->IsUpToDate());
  engine->Vars.SetValue("MAKEALL", "");
  engine->Vars.SetValue("FORCEUPDATE", "TRUE");
  EXPECT_FALSE(engine->IsUpToDate());
  engine->Vars.SetValue("FORCEUPDATE", "");
  engine->MakeAll = true;
  Step(source, "");
  EXPECT_FALSE(engine->IsUpToDate()) << "make-all wins even without a target";
}

TEST_F(MakeRules, SkipReportsNoNewsUnforcedAndAMissingDependencyForced) {
  std::string target = FileAt("src.obj", At(0));
  Step(dir.File("gone.c"), target);
  EXPECT_TRUE(engine->IsUpToDate());
  EXPECT_EQ(engine->Reason, "Dependency: \"" + dir.File("gone.c") + "\" does not exist!");
  engine->ReportSkip();
  EXPECT_EQ(Window(), std::vector<std::string>{engine->Reason});

  // Skipped even when a further dependency is newer than the target.
  engine->Lists[klDependency] = TStringList{FileAt("new.h", At(5))};
  EXPECT_TRUE(engine->IsUpToDate());
  EXPECT_EQ(engine->Reason, "Dependency: \"" + dir.File("gone.c") + "\" does not exist!");
  engine->Lists[klDependency].reset();

  Step(FileAt("src.c", At(0)), target);
  EXPECT_TRUE(engine->IsUpToDate());
  EXPECT_EQ(engine->Reason, "");
  engine->ReportSkip();
  EXPECT_EQ(Window().size(), 1u);  // "No news!" only under "Report all"
  engine->ReportAll = true;
  engine->ReportSkip();
  EXPECT_EQ(Window().back(), "No news!");
  EXPECT_TRUE(LogText().ends_with("does not exist!\r\nNo news!\r\nNo news!\r\n"));
}

TEST_F(MakeRules, ADependencyIsDatedByItsOwnLineNotByAnOptionOfTheSameText) {
  FileAt("old.c", At(0));
  FileAt("x.obj", At(1));
  FileAt("new.h", At(2));
  RunLines({"WORKDIR=" + dir.Path(), "DEPENDENCY=", "DEPENDENCY=$(WORKDIR)/new.h",
            "DEPENDENCY=$(WORKDIR)/old.c", "DEPENDANT=$(WORKDIR)/x.obj",
            "OPTION=", "OPTION=$(WORKDIR)/new.h"});
  EXPECT_FALSE(engine->IsUpToDate()) << "new.h is newer than x.obj";
}

TEST_F(MakeRules, ConstantDependencyFileSetsADateStamp) {
  std::string library = FileAt("SYS.LIB", At(3));
  RunLines({"CONSTANT_DEPENDENCY_FILE=\"" + dir.File("none.lib") + "\""});
  EXPECT_EQ(engine->Vars.ValueOf("CONSTANT_DEPENDENCY_FILEDATE"), "18991230000000");
  RunLines({"LIB=\"" + library + "\"", "CONSTANT_DEPENDENCY_FILE=$(LIB)"});
  EXPECT_EQ(engine->Vars.ValueOf("CONSTANT_DEPENDENCY_FILEDATE"), "20240110100002");
  EXPECT_EQ(engine->Vars.IndexOfName("CONSTANT_DEPENDENCY_FILE"), -1);
  RunLines({"CONSTANT_DEPENDENCY_FILE= "});
  EXPECT_EQ(engine->Vars.IndexOfName("CONSTANT_DEPENDENCY_FILEDATE"), -1);
}

}  // namespace
}  // namespace tessel::test
