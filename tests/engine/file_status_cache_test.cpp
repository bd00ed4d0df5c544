#include <gtest/gtest.h>

#include "platform/datetime.h"
#include "platform/file_system.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/standin_tool.h"

namespace tessel::test {
namespace {

// Within a run each file's status is read once; these runs change files in
// the middle of a build and must see the change.
class FileStatusCache : public TEngineTest {
 protected:
  // A date well in the past, so anything written now is newer.
  static TDateTime Old(int days) { return 40000.0 + days; }

  std::string FileAt(const std::string& name, TDateTime date) {
    const std::string path = dir.Write(name, "x");
    SetFileLastWriteTime(path, date);
    return path;
  }
  // A step that runs the stand-in when OUT.OBJ is older than `dependency`.
  std::vector<std::string> Step(const std::string& dependency) {
    return {"DEPENDENCY=", "DEPENDENCY=" + dependency, "DEPENDANT=$(WORKDIR)/OUT.OBJ",
            "OPTION=",     "OPTION=-print=built",      "EXECUTE=" + tool};
  }
  size_t ToolRuns() { return ReadStandinLog(dir.Path()).size(); }
};

TEST_F(FileStatusCache, AToolThatRewritesALaterDependencySeesItsNewDate) {
  FileAt("SRC.C", Old(0));
  FileAt("OUT.OBJ", Old(1));
  std::vector<std::string> lines = {"WORKDIR=" + dir.Path()};
  for (const auto& line : Step("$(WORKDIR)/SRC.C")) lines.push_back(line);  // up to date
  // Another step's tool writes SRC.C now.
  lines.insert(lines.end(), {"FORCEUPDATE=TRUE", "OPTION=", "OPTION=-output=SRC.C",
                             "EXECUTE=" + tool, "FORCEUPDATE="});
  for (const auto& line : Step("$(WORKDIR)/SRC.C")) lines.push_back(line);  // now out of date
  ASSERT_EQ(RunLines(lines), psReady) << LogText();
  const auto runs = ReadStandinLog(dir.Path());
  ASSERT_EQ(runs.size(), 2u) << LogText();
  EXPECT_EQ(runs[0].options, std::vector<std::string>{"-output=SRC.C"});
  EXPECT_EQ(runs[1].options, std::vector<std::string>{"-print=built"});
}

TEST_F(FileStatusCache, FilesTheEngineDeletesAreMissingAfterwards) {
  FileAt("OUT.OBJ", Old(1));
  FileAt("GONE.H", Old(0));
  FileAt("INCLUDE/X.H.TMP", Old(0));
  FileAt("INCLUDE/X.H", Old(0));  // equal to its collection file: the .TMP goes
  const std::string missing = "Dependency: \"" + dir.Path() + "/";
  std::vector<std::string> lines = {"WORKDIR=" + dir.Path()};
  for (const char* dependency : {"$(WORKDIR)/GONE.H", "$(WORKDIR)/INCLUDE/X.H.TMP"}) {
    for (const auto& line : Step(dependency)) lines.push_back(line);
  }
  lines.push_back("DELFILE=$(WORKDIR)/GONE.H");
  lines.push_back("UPDATEHEADERFILES=$(WORKDIR)/INCLUDE");
  for (const char* dependency : {"$(WORKDIR)/GONE.H", "$(WORKDIR)/INCLUDE/X.H.TMP"}) {
    for (const auto& line : Step(dependency)) lines.push_back(line);
  }
  ASSERT_EQ(RunLines(lines), psReady) << LogText();
  EXPECT_EQ(ToolRuns(), 0u);
  EXPECT_FALSE(FileExists(dir.File("INCLUDE/X.H.TMP")));
  // Both were there for the first two steps and missing for the last two.
  EXPECT_EQ(Window(), (std::vector<std::string>{missing + "GONE.H\" does not exist!",
                                                missing + "INCLUDE/X.H.TMP\" does not exist!"}));
}

TEST_F(FileStatusCache, AFileAToolCreatesInAnotherCaseIsFoundByALaterLookup) {
  FileAt("SRC.C", Old(0));
  std::vector<std::string> lines = {"WORKDIR=" + dir.Path()};
  // MADE.OBJ is missing, which also reads the directory for another case;
  // the tool then writes made.obj.
  lines.insert(lines.end(), {"DEPENDENCY=$(WORKDIR)/SRC.C", "DEPENDANT=$(WORKDIR)/MADE.OBJ",
                             "OPTION=-output=made.obj", "EXECUTE=" + tool,
                             // Found now, and newer than its source: no second run.
                             "EXECUTE=" + tool});
  ASSERT_EQ(RunLines(lines), psReady) << LogText();
  EXPECT_EQ(ToolRuns(), 1u) << LogText();
  EXPECT_NE(LogText().find("No news!"), std::string::npos);
}

}  // namespace
}  // namespace tessel::test

namespace tessel::test {
namespace {

// The DEPENDENCY list is expanded once and kept for the next steps; entries
// whose variables change between steps (directly, through another variable,
// or by POP) name their new files.
TEST_F(FileStatusCache, DependencyEntriesFollowTheirVariablesFromStepToStep) {
  FileAt("OLD/A.H", Old(0));
  FileAt("NEW/A.H", Old(2));  // newer than every target
  // Each step has a target of its own, older than NEW/A.H only.
  auto step = [&](int n) {
    FileAt("OUT" + std::to_string(n) + ".OBJ", Old(1));
    return std::vector<std::string>{"DEPENDANT=$(WORKDIR)/OUT" + std::to_string(n) + ".OBJ",
                                    "EXECUTE=" + tool};
  };
  auto script = [&](std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> lines = {"WORKDIR=" + dir.Path(),      "SUB=OLD",
                                      "HDIR=$(WORKDIR)/$(SUB)",     "DEPENDENCY=",
                                      "DEPENDENCY=\"$(HDIR)/A.H\"", "OPTION=-print=built"};
    for (const auto& part : parts) lines.insert(lines.end(), part.begin(), part.end());
    return lines;
  };
  ASSERT_EQ(RunLines(script({step(1), {"SUB=NEW"}, step(2)})), psReady);
  EXPECT_EQ(ToolRuns(), 1u) << LogText();
  // The step after PUSH sees NEW; the one after POP sees OLD again.
  ASSERT_EQ(RunLines(script({step(3), {"PUSH=", "SUB=NEW"}, step(4), {"POP="}, step(5)})), psReady);
  EXPECT_EQ(ToolRuns(), 2u) << LogText();
  // The log's echo expands the entry when its line is read; a variable set
  // between that line and the first step still counts (the entry after it
  // names an old file and is the rule's primary source).
  ASSERT_EQ(RunLines(script({{"SUB=NEW", "DEPENDENCY=$(WORKDIR)/OLD/A.H"}, step(6)})), psReady);
  EXPECT_EQ(ToolRuns(), 3u) << LogText();
  EXPECT_NE(LogText().find("DEPENDENCY=" + dir.Path() + "/OLD/A.H\r\n"), std::string::npos);
}

// The step asks again for the values its lines' echoes expanded; a variable
// they use, or the variable itself, set after the line must count.
TEST_F(FileStatusCache, AStepUsesItsValuesAsTheyStandNotAsTheirLinesWereEchoed) {
  FileAt("SRC.C", Old(0));
  FileAt("OLD.OBJ", Old(1));
  auto script = [&](std::vector<std::string> middle) {
    std::vector<std::string> lines = {"WORKDIR=" + dir.Path(),
                                      "DEPENDENCY=", "DEPENDENCY=$(WORKDIR)/SRC.C"};
    lines.insert(lines.end(), middle.begin(), middle.end());
    lines.insert(lines.end(), {"OPTION=", "OPTION=-print=built", "EXECUTE=" + tool});
    return lines;
  };
  // Up to date as echoed, but T names a missing target by the step.
  ASSERT_EQ(RunLines(script({"T=OLD", "DEPENDANT=$(WORKDIR)/$(T).OBJ", "T=NEW"})), psReady);
  EXPECT_EQ(ToolRuns(), 1u) << LogText();
  // Missing as echoed, but set again under another spelling of its name.
  ASSERT_EQ(RunLines(script({"DEPENDANT=$(WORKDIR)/NEW2.OBJ", "Dependant=$(WORKDIR)/OLD.OBJ"})),
            psReady);
  EXPECT_EQ(ToolRuns(), 1u) << LogText();
  // As echoed, when nothing changed in between.
  ASSERT_EQ(RunLines(script({"T=OLD", "DEPENDANT=$(WORKDIR)/$(T).OBJ"})), psReady);
  EXPECT_EQ(ToolRuns(), 1u) << LogText();
}

}  // namespace
}  // namespace tessel::test
