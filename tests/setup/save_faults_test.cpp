// The two writers of the setup's user data under failing file systems: the
// Save command (backups, then both settings files) and the script
// generation. Each I/O call in turn fails; whatever happens, every file
// holds its old content or its new one whole, no temporary is left, and a
// run that did not get everything written says so naming a file.

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/memory_file_system.h"
#include "setup/save_command.h"
#include "setup/script_generation.h"
#include "setup/setup_model.h"
#include "tests/support/fault_walk.h"
#include "tests/support/scripted_ui.h"

using namespace tessel;
using namespace tessel::test;

namespace {

const char* const Base = "C:\\SDK\\BaseOptions\\BaseOptions.ini";
const char* const Project = "C:\\SDK\\Projects\\DEMO.INI";
const char* const BaseBackup = "/SDK/BaseOptions/BaseOptions_1.BAK";
const char* const ProjectBackup = "/SDK/Projects/DEMO_1.BAK";
constexpr int64_t LongAgo = 1'000'000'000'000'000'000;  // 2001

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// An installation whose settings changed since the scripts were written,
// with one backup of each settings file already there.
void Fill(TMemoryFileSystem& fs) {
  fs.AddFile("/SDK/BaseOptions/BaseOptions.ini",
             Lines({"[vleGeneral]", "SDKDIR=@C:\\SDK@", "TEMPLATEDIR=@C:\\SDK\\Templates@",
                    "HEADERDIR=@C:\\SDK@", "DEBUGDIR=@C:\\SDK@", "OBJECTDIR=@C:\\SDK@",
                    "BINDIR=@C:\\SDK@", "LIBDIR=@C:\\SDK@", "PROJECTDIR=@C:\\SDK\\Projects@",
                    "WORKDIR=@C:\\SDK@", "ASM_CMD=@asm@", "LNK_CMD=@lnk@", "COMPILE_CMD=@cc@",
                    "MAXBACKUP=@2@", "[vleSyscalls]", "LIBRARY=@SYSCALLS;;20200101000000@",
                    "0C3=@void A(void);a.h;20200101000000@", "[vleLink]", "OPT_000=@-a@"}),
             LongAgo);
  fs.AddFile("/SDK/Projects/DEMO.INI",
             Lines({"[vleProjectBindOptions]", "Makescript=@C:\\SDK\\Projects\\BIND.TXT@",
                    "Version=@1.02.0000@", "[vleProjectSource]", "SRC_000=@A.CPP@"}),
             LongAgo);
  fs.AddFile(BaseBackup, "older base", LongAgo);
  fs.AddFile(ProjectBackup, "older project", LongAgo);
  fs.AddDirectory("/SDK/Templates");
  fs.AddFile("/SDK/Projects/DEMO.PRJ", "an old project script\r\n", LongAgo);
  fs.AddFile("/SDK/Projects/syscalls.prj", "an old syscall script\r\n", LongAgo);
}

struct TOutcome {
  TFileMap before;
  TFileMap after;
  bool succeeded = false;
  std::string messages;  // exception text and the texts of error and warning boxes
  bool successBox = false;
};

// Loads the setup model, arms the fault, then saves (with the edits, when
// `edit`) and records what happened.
TOutcome Save(const TFault* fault, bool edit) {
  TMemoryFileSystem fs;
  Fill(fs);
  TFileSystemScope scope(fs);
  TScriptedUserInterface ui;
  TMainWindowGuard mainWindow(&ui);
  TSetupModel model(Project, Project, Base);
  model.Load();
  if (edit) {
    model.Editor("vleGeneral").SetValue("LIBDIR", "C:\\SDK\\LIB");
    model.Editor("vleLink").Add("NEW_1", "-new");
    model.Editor("vleProjectBindOptions").SetValue("Version", "2.00.0000");
  }
  TOutcome outcome;
  outcome.before = FilesOf(fs);
  fs.ResetCounts();
  if (fault != nullptr) fs.FailAt(fault->kind, fault->nth, fault->error);
  try {
    outcome.succeeded = RunSaveCommand(model, ui);
  } catch (const EFileError& e) {
    outcome.messages = e.what();
  }
  for (const auto& box : ui.boxes) {
    if (box.kind == "error" || box.kind == "warning") outcome.messages += "\n" + box.text;
    if (box.text == SuccessText) outcome.successBox = true;
  }
  // The hourglass never stays.
  EXPECT_NE(ui.cursors.back(), TCursor::HourGlass);
  outcome.after = FilesOf(fs);
  if (fault != nullptr && !fs.FaultReached()) outcome.after.clear();
  return outcome;
}

bool IsBackup(const std::string& path) {
  return path.size() > 4 && path.substr(path.size() - 4) == ".BAK";
}

bool IsWorkFile(const std::string& path) { return path == "/SDK/Projects/TEMP.prj"; }

void CheckFaultedSave(const TOutcome& expected, const TOutcome& got, TFsCall kind) {
  for (const auto& [path, bytes] : got.after) {
    EXPECT_EQ(path.find("/."), std::string::npos) << "a temporary is left: " << path;
  }
  // Every settings file and script is old or new as a whole.
  EXPECT_EQ(NeitherOldNorNew(got.before, expected.after, got.after,
                             [](const std::string& p) { return IsBackup(p) || IsWorkFile(p); }),
            "");
  // Backups hold earlier states only, and the older backup survives a
  // rotation that stopped half-way.
  for (const auto& [backup, older, file] :
       {std::tuple{std::string(BaseBackup), "older base", "/SDK/BaseOptions/BaseOptions.ini"},
        std::tuple{std::string(ProjectBackup), "older project", "/SDK/Projects/DEMO.INI"}}) {
    const std::string second = backup.substr(0, backup.size() - 6) + "_2.BAK";
    bool olderKept = false;
    for (const std::string& name : {backup, second}) {
      auto it = got.after.find(name);
      if (it == got.after.end()) continue;
      olderKept = olderKept || it->second == older;
      EXPECT_TRUE(it->second == older || it->second == got.before.at(file)) << name;
    }
    EXPECT_TRUE(olderKept) << "the earlier backup of " << file << " is lost";
  }

  // Anything short of the full result is reported, naming a file; so is a
  // success box never shown for less. A look-up that fails reads as a
  // missing entry, which the program cannot tell from one; then only the
  // contents are checked.
  auto withoutWork = [](TFileMap files) {
    files.erase("/SDK/Projects/TEMP.prj");
    return files;
  };
  const bool complete = withoutWork(got.after) == withoutWork(expected.after);
  if (got.successBox) {
    TFileMap gotScripts = withoutWork(got.after), expectedScripts = withoutWork(expected.after);
    std::erase_if(gotScripts, [](const auto& e) { return IsBackup(e.first); });
    std::erase_if(expectedScripts, [](const auto& e) { return IsBackup(e.first); });
    EXPECT_EQ(gotScripts, expectedScripts) << "success shown for an incomplete save";
  }
  if (!complete && kind != TFsCall::Stat && kind != TFsCall::List) {
    EXPECT_NE(got.messages, "") << "an incomplete save without a word";
  }
  if (!got.messages.empty()) {
    EXPECT_NE(got.messages.find("C:\\SDK\\"), std::string::npos) << got.messages;
  }
}

}  // namespace

class TSaveFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = DriveRoot();
    SetDriveRoot("/");
  }
  void TearDown() override { SetDriveRoot(oldRoot_); }

 private:
  std::string oldRoot_;
};

TEST_F(TSaveFaultsTest, ASaveWithChangesFailingAtAnyCall) {
  const TOutcome expected = Save(nullptr, true);
  ASSERT_TRUE(expected.succeeded) << expected.messages;
  // The fault-free run did back up, store and generate.
  ASSERT_EQ(expected.after.at("/SDK/BaseOptions/BaseOptions_2.BAK"), "older base");
  ASSERT_NE(expected.after.at("/SDK/Projects/DEMO.INI").find("2.00.0000"), std::string::npos);
  ASSERT_NE(expected.after.at("/SDK/Projects/DEMO.PRJ"), "an old project script\r\n");

  const int runs = WalkFaults(AllFsCalls(), [&](const TFault& fault) {
    const TOutcome got = Save(&fault, true);
    if (got.after.empty()) return false;  // got through without the fault
    CheckFaultedSave(expected, got, fault.kind);
    return true;
  });
  RecordProperty("faulted_runs", runs);
  EXPECT_GT(runs, 50);
}

TEST_F(TSaveFaultsTest, AScriptGenerationFailingAtAnyCall) {
  const TOutcome expected = Save(nullptr, false);
  ASSERT_TRUE(expected.succeeded) << expected.messages;
  ASSERT_EQ(expected.after.at("/SDK/Projects/DEMO.INI"),
            expected.before.at("/SDK/Projects/DEMO.INI"));
  ASSERT_EQ(expected.after.size(), expected.before.size() + 6);  // five new scripts, TEMP.prj

  const int runs = WalkFaults(AllFsCalls(), [&](const TFault& fault) {
    const TOutcome got = Save(&fault, false);
    if (got.after.empty()) return false;
    CheckFaultedSave(expected, got, fault.kind);
    return true;
  });
  RecordProperty("faulted_runs", runs);
  EXPECT_GT(runs, 20);
}

TEST_F(TSaveFaultsTest, AFailedBackupRotationIsShownAndKeepsTheBackups) {
  TMemoryFileSystem fs;
  Fill(fs);
  fs.AddFile("/SDK/BaseOptions/BaseOptions_2.BAK", "oldest base", LongAgo);
  TFileSystemScope scope(fs);
  TScriptedUserInterface ui;
  TMainWindowGuard mainWindow(&ui);
  TSetupModel model(Project, Project, Base);
  model.Load();
  model.Editor("vleLink").Add("NEW_1", "-new");
  // The move of backup 1 to 2 is the first rename.
  fs.FailAt(TFsCall::Rename, 1, EACCES);
  EXPECT_TRUE(RunSaveCommand(model, ui));
  ASSERT_GE(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].kind, "warning");
  EXPECT_EQ(ui.boxes[0].text,
            "Backup of \"C:\\SDK\\BaseOptions\\BaseOptions.ini\" failed: cannot rename "
            "\"C:\\SDK\\BaseOptions\\BaseOptions_1.BAK\" to "
            "\"C:\\SDK\\BaseOptions\\BaseOptions_2.BAK\": " +
                PlatformErrorText(EACCES));
  // Backup 1 was not deleted for a rotation that did not happen.
  EXPECT_EQ(fs.FileBytes(BaseBackup), "older base");
  // The project file got its backup all the same, and the save went on.
  EXPECT_EQ(fs.FileBytes("/SDK/Projects/DEMO_2.BAK"), "older project");
  EXPECT_EQ(ui.boxes.back().text, SuccessText);
}

TEST_F(TSaveFaultsTest, AScriptThatKeepsItsOldContentIsNoSuccess) {
  TMemoryFileSystem fs;
  Fill(fs);
  TFileSystemScope scope(fs);
  TScriptedUserInterface ui;
  TMainWindowGuard mainWindow(&ui);
  TSetupModel model(Project, Project, Base);
  model.Load();
  SetReadOnly("C:\\SDK\\Projects\\syscalls.prj", true);
  EXPECT_FALSE(RunSaveCommand(model, ui));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, "error");
  EXPECT_EQ(ui.boxes[0].text,
            "Cannot create file \"C:\\SDK\\Projects\\syscalls.prj\": " + PlatformErrorText(EACCES));
  EXPECT_EQ(fs.FileBytes("/SDK/Projects/syscalls.prj"), "an old syscall script\r\n");
  // The others were written.
  EXPECT_NE(fs.FileBytes("/SDK/Projects/DEMO.PRJ"), "an old project script\r\n");
  EXPECT_TRUE(fs.HasFile("/SDK/Projects/tools.prj"));
}

TEST_F(TSaveFaultsTest, AnUnreadableSettingsFileReplacesNoScript) {
  TMemoryFileSystem fs;
  Fill(fs);
  TFileSystemScope scope(fs);
  TScriptedUserInterface ui;
  TMainWindowGuard mainWindow(&ui);
  TSetupModel model(Project, Project, Base);
  model.Load();
  // The first read of the project settings file during the generation.
  fs.FailAt(TFsCall::OpenRead, 2, EIO);
  EXPECT_THROW(RunSaveCommand(model, ui), EFileError);
  EXPECT_EQ(fs.FileBytes("/SDK/Projects/DEMO.PRJ"), "an old project script\r\n");
  EXPECT_EQ(fs.FileBytes("/SDK/Projects/syscalls.prj"), "an old syscall script\r\n");
  EXPECT_TRUE(ui.boxes.empty());
}
