#include <gtest/gtest.h>

#include <algorithm>

#include "engine/build_record.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/memory_file_system.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/fault_walk.h"
#include "tests/support/standin_tool.h"
#include "tests/support/test_dates.h"

namespace tessel::test {
namespace {

// Two compile steps and a bind, all up to date by their dates after the
// first build: whatever runs later runs because the record says so.
class BuildRecord : public TEngineTest {
 protected:
  BuildRecord() : mainWindow(&ui) {
    for (const char* name : {"a.c", "b.c", "image.sh3"}) {
      dir.Write(name, "source");
      SetFileLastWriteTime(dir.File(name), TestDate(2025, 3, 1, 9, 0));
    }
    PatchScript("INSERTSTRING=$(VERSION)\r\n");
  }

  void PatchScript(const std::string& lastLine) {
    dir.Write(
        "MAKE.PAT",
        "SOURCEFILE=$(DEPENDENCY)\r\nTARGETFILE=$(DEPENDANT)\r\nGOTO=FILESIZE\r\n" + lastLine);
  }
  std::vector<std::string> Lines() const {
    return {"WORKDIR=" + dir.Path(),
            "VERSION=" + version,
            "DEPENDENCY=$(WORKDIR)/a.c",
            "DEPENDANT=$(WORKDIR)/a.obj",
            "OPTION=",
            "OPTION=" + optionA,
            "OPTION=-output=a.obj",
            "EXECUTE=" + tool,
            "DEPENDENCY=$(WORKDIR)/b.c",
            "DEPENDANT=$(WORKDIR)/b.obj",
            "OPTION=",
            "OPTION=-output=b.obj",
            "EXECUTE=" + tool,
            "DEPENDENCY=",
            "DEPENDENCY=$(WORKDIR)/image.sh3",
            "DEPENDANT=$(WORKDIR)/DEMO.G3A",
            "BIND=$(WORKDIR)/MAKE.PAT"};
  }
  // One build with a fresh engine; what ran: "a", "b" (their objects), "bind".
  std::vector<std::string> Build(uint8_t expected = psReady) {
    engine = std::make_unique<TProject>(dir.File("engine.log"));
    engine->LogWindow = &ui;
    ui.log.clear();
    const size_t before = ReadStandinLog(dir.Path()).size();
    EXPECT_EQ(RunLines(Lines()), expected);
    std::vector<std::string> ran;
    const std::vector<TStandinRun> runs = ReadStandinLog(dir.Path());
    for (size_t i = before; i < runs.size(); ++i)
      ran.push_back(runs[i].options.back().substr(8, 1));
    if (Shown("Start! MAKE.PAT")) ran.push_back("bind");
    return ran;
  }
  bool Shown(const std::string& line) const {
    return std::find(Window().begin(), Window().end(), line) != Window().end();
  }
  using Ran = std::vector<std::string>;

  TMainWindowGuard mainWindow;  // the patcher's start line lands in `ui`
  std::string version = "01.00";
  std::string optionA = "-DFAST";
};

TEST_F(BuildRecord, ChangedOptionsVersionAndPatchScriptRerunExactlyTheirStep) {
  EXPECT_EQ(Build(), (Ran{"a", "b", "bind"}));
  EXPECT_TRUE(FileExists(dir.File("TOP.PRJ.STATE")));
  EXPECT_EQ(Build(), Ran{});

  optionA = "-DSMALL";
  EXPECT_EQ(Build(), Ran{"a"});
  EXPECT_TRUE(Shown("Command changed: \"" + dir.File("a.obj") + "\""));

  version = "01.01";
  EXPECT_EQ(Build(), Ran{"bind"});
  // The bind's start empties the window; the log file keeps the reason.
  EXPECT_NE(LogText().find("Command changed: \"" + dir.File("DEMO.G3A") + "\"\r\n"),
            std::string::npos);
  EXPECT_EQ(dir.Read("DEMO.G3A"), std::string("source01.01\0", 12));
  // The script sees the value as written, quotes and all.
  version = "\"01.01\"";
  EXPECT_EQ(Build(), Ran{"bind"});
  version = "01.01";
  EXPECT_EQ(Build(), Ran{"bind"});

  PatchScript("INSERTSTRING=v$(VERSION)\r\n");
  EXPECT_EQ(Build(), Ran{"bind"});
  EXPECT_EQ(dir.Read("DEMO.G3A"), std::string("sourcev01.01\0", 13));

  EXPECT_EQ(Build(), Ran{});
  EXPECT_FALSE(std::any_of(Window().begin(), Window().end(), [](const std::string& line) {
    return line.starts_with("Command changed");
  }));
}

TEST_F(BuildRecord, AForcedStepIsRecordedUnderTheNamesOfItsFiles) {
  EXPECT_EQ(Build(), (Ran{"a", "b", "bind"}));
  // Forced, with other options and quotes around the names.
  engine = std::make_unique<TProject>(dir.File("engine.log"));
  engine->LogWindow = &ui;
  engine->MakeAll = true;
  optionA = "-DSMALL";
  std::vector<std::string> lines = Lines();
  lines[2] = "DEPENDENCY=\"$(WORKDIR)/a.c\"";
  lines[3] = "DEPENDANT=\"$(WORKDIR)/a.obj\"";
  EXPECT_EQ(RunLines(lines), psReady);
  // The object now holds the forced options: the first build's run again.
  optionA = "-DFAST";
  EXPECT_EQ(Build(), Ran{"a"});
}

TEST_F(BuildRecord, AMissingOrCorruptRecordFallsBackToTheDates) {
  EXPECT_EQ(Build(), (Ran{"a", "b", "bind"}));
  DeleteFileAt(dir.File("TOP.PRJ.STATE"));
  optionA = "-DSMALL";  // unknown without the record: the dates decide
  EXPECT_EQ(Build(), Ran{});
  EXPECT_TRUE(FileExists(dir.File("TOP.PRJ.STATE"))) << "what the dates accepted is recorded";
  optionA = "-DTINY";
  EXPECT_EQ(Build(), Ran{"a"});

  for (const std::string& garbage : {std::string("\x01\x02 not a record\r\n"),
                                     std::string("TESSEL BUILD RECORD 2\r\nzz 12\r\n\r\n x\r\n")}) {
    dir.Write("TOP.PRJ.STATE", garbage);
    optionA += "X";
    EXPECT_EQ(Build(), Ran{});
  }
  // A source newer than its object still builds, record or not.
  SetFileLastWriteTime(dir.File("b.c"), TestDate(2099, 1, 1, 0, 0));
  EXPECT_EQ(Build(), Ran{"b"});
}

TEST_F(BuildRecord, AStepThatFailedRunsAgainInTheNextBuild) {
  EXPECT_EQ(Build(), (Ran{"a", "b", "bind"}));
  // Forced, the compile of b fails before writing anything: its old object
  // stays and is newer than its source, yet it is not what the step makes now.
  engine = std::make_unique<TProject>(dir.File("engine.log"));
  engine->LogWindow = &ui;
  engine->MakeAll = true;
  std::vector<std::string> lines = Lines();
  lines[11] = "OPTION=-exit=2";
  EXPECT_EQ(RunLines(lines), psFailed);
  EXPECT_TRUE(FileExists(dir.File("b.obj")));

  EXPECT_EQ(Build(), Ran{"b"});
  EXPECT_TRUE(Shown("Failed last time: \"" + dir.File("b.obj") + "\""));
  EXPECT_EQ(Build(), Ran{});
}

// Every hex digit survives a save and a fresh read; a save that fails at any
// I/O call says so and leaves the previous record whole.
TEST(BuildRecordFile, SavedHashesReadBackAndAFailedSaveKeepsThePreviousRecord) {
  const std::string oldRoot = DriveRoot();
  SetDriveRoot("/");
  const char* const path = "C:\\P\\TOP.PRJ.STATE";
  const uint64_t low = 0x0123456789ABCDEFull, high = 0xFEDCBA9876543210ull;
  // Lines of other forms (small or foreign digits, no blank, no key) know
  // nothing.
  const std::string previous =
      "TESSEL BUILD RECORD 2\r\nfailed A\r\n0000000000000001 B\r\n0123456789abcdef D\r\n"
      "0123456789ABCDEG E\r\nfailed\r\n0000000000000002 \r\n";
  using V = TBuildRecord::TVerdict;
  auto verdicts = [&](const TBuildRecord& r) {
    return std::vector<V>{r.Check("A", high),   r.Check("B", 1),   r.Check("C", low),
                          r.Check("C", high),   r.Check("D", low), r.Check("E", low),
                          r.Check("failed", 0), r.Check("", 2)};
  };
  const std::vector<V> before{V::Failed,  V::Same,    V::Unknown, V::Unknown,
                              V::Unknown, V::Unknown, V::Unknown, V::Unknown};
  const std::vector<V> after{V::Same,    V::Failed,  V::Same,    V::Changed,
                             V::Unknown, V::Unknown, V::Unknown, V::Unknown};

  int failed = 0;
  WalkFaults(AllFsCalls(), [&](const TFault& fault) {
    SCOPED_TRACE(DescribeFault(fault));
    TMemoryFileSystem fs;
    fs.AddFile("/P/TOP.PRJ.STATE", previous);
    TFileSystemScope scope(fs);
    TBuildRecord record(path);
    EXPECT_EQ(verdicts(record), before);
    EXPECT_TRUE(record.Save()) << "nothing changed, nothing to write";
    record.Succeeded("A", high);
    record.Failed("B");
    record.Succeeded("C", low);
    fs.FailAt(fault.kind, fault.nth, fault.error);
    const bool saved = record.Save();
    const bool reached = fs.FaultReached();
    fs.ClearFaults();
    if (saved) {
      fs.ResetCounts();
      EXPECT_TRUE(record.Save());
      EXPECT_EQ(fs.Calls(TFsCall::OpenWrite), 0) << "saved already, nothing to write";
    }
    EXPECT_EQ(fs.Files(), std::vector<std::string>{"/P/TOP.PRJ.STATE"}) << "a temporary is left";
    if (saved) {
      EXPECT_EQ(verdicts(TBuildRecord(path)), after);
    } else {
      ++failed;
      EXPECT_EQ(fs.FileBytes("/P/TOP.PRJ.STATE"), previous);
    }
    return reached;
  });
  EXPECT_GT(failed, 3);
  SetDriveRoot(oldRoot);
}

TEST(BuildRecordFile, ARecordOfAnotherFormKnowsNothing) {
  const std::string oldRoot = DriveRoot();
  SetDriveRoot("/");
  // Form 1 kept hashes of another kind: a build after the change goes by
  // the dates once, rather than taking every step for changed.
  for (const std::string header :
       {"TESSEL BUILD RECORD 1", "TESSEL BUILD RECORD 3", "tessel build record 2", ""}) {
    TMemoryFileSystem fs;
    fs.AddFile("/P/TOP.PRJ.STATE", header + "\r\nfailed A\r\n0000000000000001 B\r\n");
    TFileSystemScope scope(fs);
    const TBuildRecord record("C:\\P\\TOP.PRJ.STATE");
    EXPECT_EQ(record.Check("A", 0), TBuildRecord::TVerdict::Unknown) << header;
    EXPECT_EQ(record.Check("B", 1), TBuildRecord::TVerdict::Unknown) << header;
  }
  SetDriveRoot(oldRoot);
}

TEST(StepHash, PartsAreDelimited) {
  EXPECT_NE(TStepHash().Add("ab").Add("c").Value(), TStepHash().Add("a").Add("bc").Value());
  EXPECT_NE(TStepHash().Add(std::vector<std::string>{"x"}).Add("y").Value(),
            TStepHash().Add(std::vector<std::string>{"x", "y"}).Value());
  EXPECT_EQ(TStepHash().Add("same").Value(), TStepHash().Add("same").Value());
  EXPECT_NE(TStepHash().Add("").Value(), TStepHash().Value());
  EXPECT_NE(TStepHash().Add("").Add("a").Value(), TStepHash().Add("a").Add("").Value());
}

// The values are kept in the record files: a different value for the same
// step would make every step of every project run again once.
TEST(StepHash, ValuesStayWhatTheRecordsHold) {
  EXPECT_EQ(
      TStepHash().Add("EXECUTE").Add(std::vector<std::string>{"-object=x.obj", "-O2"}).Value(),
      0x4AD78E15FD111653ull);
}

// An option edited in place (same length) always changes the hash, at every
// place and in every bit, in the full words and in the last bytes.
TEST(StepHash, AnyChangeWithinOneWordChangesTheValue) {
  const std::string option = "-object=\"C:\\SDK\\OBJ\\MAIN.OBJ\" -O2";
  const uint64_t original = TStepHash().Add("EXECUTE").Add(option).Add("tail").Value();
  for (size_t at = 0; at < option.size(); ++at) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string edited = option;
      edited[at] = static_cast<char>(edited[at] ^ (1 << bit));
      ASSERT_NE(TStepHash().Add("EXECUTE").Add(edited).Add("tail").Value(), original)
          << at << " " << bit;
    }
  }
}

}  // namespace
}  // namespace tessel::test
