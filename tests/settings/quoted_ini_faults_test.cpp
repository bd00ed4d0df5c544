// Single writes and batches of TQuotedINI under a failing file system: the
// settings file holds its old bytes or its new ones, never a file rebuilt
// from a read that failed, and a failure names the file.

#include <gtest/gtest.h>

#include <functional>

#include "platform/file_system.h"
#include "platform/memory_file_system.h"
#include "settings/MyIni.h"
#include "tests/support/fault_walk.h"

using namespace tessel;
using namespace tessel::test;

namespace {

const char* const Ini = "/cfg/P.INI";
const std::string Old = "; kept\r\n[A]\r\nX=@1@\r\n[Other]\r\nY=@2@\r\n";

void CheckWalk(const std::function<void(TQuotedINI&)>& change) {
  std::string expected;
  {
    TMemoryFileSystem fs;
    fs.AddFile(Ini, Old);
    TFileSystemScope scope(fs);
    TQuotedINI ini(Ini);
    change(ini);
    expected = *fs.FileBytes(Ini);
    ASSERT_NE(expected, Old);
  }
  const int runs = WalkFaults(AllFsCalls(), [&](const TFault& fault) {
    TMemoryFileSystem fs;
    fs.AddFile(Ini, Old);
    TFileSystemScope scope(fs);
    fs.FailAt(fault.kind, fault.nth, fault.error);
    std::string error;
    try {
      TQuotedINI ini(Ini);
      change(ini);
    } catch (const EFileError& e) {
      error = e.what();
    }
    const std::string now = fs.FileBytes(Ini).value_or("<missing>");
    EXPECT_TRUE(now == Old || now == expected) << now;
    EXPECT_EQ(fs.Files(), std::vector<std::string>{Ini});  // no temporary left
    if (!error.empty()) {
      EXPECT_NE(error.find(Ini), std::string::npos) << error;
    }
    if (now != expected && fault.kind != TFsCall::Stat && fault.kind != TFsCall::List) {
      EXPECT_NE(error, "") << "the change was lost without a word";
    }
    return fs.FaultReached();
  });
  EXPECT_GE(runs, 10);
}

}  // namespace

TEST(QuotedIniFaults, AWriteKeepsTheOtherSettingsWhateverFails) {
  CheckWalk([](TQuotedINI& ini) { ini.WriteString("A", "X", "changed"); });
}

TEST(QuotedIniFaults, ABatchIsStoredWholeOrNotAtAll) {
  CheckWalk([](TQuotedINI& ini) {
    ini.BeginBatch();
    ini.EraseSection("A");
    ini.WriteString("A", "Z", "new");
    ini.WriteString("Other", "Y", "3");
    ini.CommitBatch();
  });
}
