// The two engine steps that write the user's files, under failing file
// systems: the bind (the patcher copying the program image into the add-in
// and patching it) and the header update. Each I/O call in turn fails;
// whatever happens, every file holds its old content or its new one whole
// (an add-in the failed run made is gone), and a build that did not get
// everything written says so naming a file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "engine/uProject.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/memory_file_system.h"
#include "tests/support/fault_walk.h"
#include "tests/support/scripted_ui.h"

namespace tessel::test {
namespace {

constexpr int64_t LongAgo = 1'000'000'000'000'000'000;  // 2001
constexpr int64_t Later = 1'600'000'000'000'000'000;    // 2020

const char* const AddIn = "/W/DEMO.G3A";
const char* const List = "/W/ICON.LST";

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

struct TOutcome {
  TFileMap before;
  TFileMap after;
  uint8_t state = psNotReady;
  std::string messages;  // the exception's text and the window's lines
};

// Files the engine keeps for itself: its log and its build record.
bool IsEngineFile(const std::string& path) {
  return path == "/W/engine.log" || path.ends_with(".STATE") ||
         // their temporaries too
         path.starts_with("/W/.engine.log.") || path.starts_with("/W/.TOP.PRJ.STATE.");
}

class TWriterFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = DriveRoot();
    SetDriveRoot("/");
  }
  void TearDown() override { SetDriveRoot(oldRoot_); }

  // Runs the top script on a fresh file system filled by `fill`, with the
  // fault armed once the engine exists.
  template <class TFill>
  TOutcome Build(const TFault* fault, TFill&& fill, const std::vector<std::string>& top) {
    TMemoryFileSystem fs;
    fs.SetClock(Later);
    fill(fs);
    fs.AddFile("/W/TOP.PRJ", Lines(top), LongAgo);
    TFileSystemScope scope(fs);
    TScriptedUserInterface ui;
    TMainWindowGuard mainWindow(&ui);
    TOutcome outcome;
    {
      auto engine = std::make_unique<TProject>("C:\\W\\engine.log");
      engine->LogWindow = &ui;
      outcome.before = FilesOf(fs);
      fs.ResetCounts();
      if (fault != nullptr) fs.FailAt(fault->kind, fault->nth, fault->error);
      try {
        outcome.state = engine->Run("C:\\W\\TOP.PRJ");
      } catch (const std::exception& e) {
        outcome.messages = e.what();
      }
      try {
        engine.reset();
      } catch (const std::exception& e) {
        outcome.messages += std::string("\n") + e.what();
      }
    }
    for (const std::string& line : ui.log) outcome.messages += "\n" + line;
    outcome.after = FilesOf(fs);
    std::erase_if(outcome.before, [](const auto& e) { return IsEngineFile(e.first); });
    std::erase_if(outcome.after, [](const auto& e) { return IsEngineFile(e.first); });
    if (fault != nullptr && !fs.FaultReached()) outcome.after.clear();
    return outcome;
  }

  // Every file old or new as a whole, no temporary left, and less than the
  // whole result never passed over in silence.
  static void Check(const TOutcome& expected, const TOutcome& got, TFsCall kind,
                    const std::vector<std::string>& mayGo) {
    for (const auto& [path, bytes] : got.after) {
      EXPECT_EQ(path.find("/."), std::string::npos) << "a temporary is left: " << path;
    }
    // A file that may go (one the failed step wrote) counts as old when missing.
    TFileMap after = got.after;
    for (const std::string& path : mayGo) {
      if (!after.contains(path) && got.before.contains(path)) after[path] = got.before.at(path);
    }
    EXPECT_EQ(NeitherOldNorNew(got.before, expected.after, after, nullptr), "");
    const bool complete = got.after == expected.after;
    // A look-up that fails reads as a missing file; the make rule then
    // reports a missing dependency and passes over the step.
    if (got.state == psReady && kind != TFsCall::Stat) {
      EXPECT_TRUE(complete) << "a finished build with less than the result:" << got.messages;
    }
    if (!complete && kind != TFsCall::Stat && kind != TFsCall::List) {
      EXPECT_NE(got.messages, "") << "an incomplete build without a word";
    }
    if (!complete && got.state != psReady && kind != TFsCall::Stat && kind != TFsCall::List) {
      EXPECT_TRUE(got.messages.find("C:\\W\\") != std::string::npos ||
                  got.messages.find("/W/") != std::string::npos)
          << "no file named in: " << got.messages;
    }
  }

 private:
  std::string oldRoot_;
};

// A program image, an icon and a bind script of the usual shape: a copy of
// the image, the icon and the version inserted, a checksum; and the other
// files a patch script writes: a list file, a picture of the display and
// an assembler block.
void FillBind(TMemoryFileSystem& fs, bool withPreviousAddIn) {
  std::string image;
  for (int i = 0; i < 1500; ++i) image += static_cast<char>(i * 7);
  fs.AddFile("/W/IMAGE.BIN", image, Later);
  fs.AddFile("/W/ICON.CGI", std::string(40, '\x5A'), LongAgo);
  fs.AddFile("/W/BIND.TXT",
             Lines({"SOURCEFILE=C:\\W\\IMAGE.BIN", "TARGETFILE=C:\\W\\DEMO.G3A", "GOTO=$20",
                    "INSERTFILE=C:\\W\\ICON.CGI,0,0,C:\\W\\ICON.LST", "INSERTSTRING=$(VERSION)",
                    "CHKSUM_INIT=0", "CHKSUM_CALC=0,$1F", "CHKSUM_SAVE=FILESIZE",
                    "DISPLAYADDR=$100", "PRINTSTRING=0,0,OK", "TESTBITMAP=C:\\W\\SHOT.BMP",
                    "MAKECSOURCE=C:\\W\\BLOCK.SRC,$80000000,20"}),
             LongAgo);
  fs.AddFile(List, "an old list\r\n", LongAgo);
  fs.AddFile("/W/SHOT.BMP", "an old picture", LongAgo);
  fs.AddFile("/W/BLOCK.SRC", "an old block", LongAgo);
  if (withPreviousAddIn) fs.AddFile(AddIn, "the previous add-in", LongAgo);
}

const std::vector<std::string> BindTop = {"VERSION=01.02.0003", "DEPENDENCY=C:\\W\\IMAGE.BIN",
                                          "DEPENDANT=C:\\W\\DEMO.G3A", "BIND=C:\\W\\BIND.TXT"};

TEST_F(TWriterFaultsTest, ABindFailingAtAnyCall) {
  for (const bool previous : {true, false}) {
    SCOPED_TRACE(previous ? "over a previous add-in" : "a new add-in");
    auto fill = [&](TMemoryFileSystem& fs) { FillBind(fs, previous); };
    const TOutcome expected = Build(nullptr, fill, BindTop);
    ASSERT_EQ(expected.state, psReady) << expected.messages;
    const std::string addIn = expected.after.at(AddIn);
    ASSERT_EQ(addIn.size(), 1500u + 4);
    ASSERT_EQ(expected.after.at("/W/SHOT.BMP").size(), 1086u);
    ASSERT_NE(expected.after.at("/W/BLOCK.SRC"), "an old block");
    ASSERT_EQ(addIn.substr(0x20, 40 + 11), std::string(40, '\x5A') + "01.02.0003" + '\0');
    ASSERT_NE(expected.after.at(List), "an old list\r\n");

    const int runs = WalkFaults(AllFsCalls(), [&](const TFault& fault) {
      const TOutcome got = Build(&fault, fill, BindTop);
      if (got.after.empty()) return false;
      Check(expected, got, fault.kind, {AddIn});
      // The add-in is never left half-made.
      const auto it = got.after.find(AddIn);
      if (it != got.after.end()) {
        EXPECT_TRUE(it->second == addIn || (previous && it->second == "the previous add-in"))
            << it->second.substr(0, 40);
      }
      return true;
    });
    EXPECT_GT(runs, 20);
  }
}

// Headers: one unchanged, one changed, one new.
void FillHeaders(TMemoryFileSystem& fs) {
  fs.AddFile("/W/INC/same.h", "int A(void);\r\n", LongAgo);
  fs.AddFile("/W/INC/same.h.TMP", "int A(void);\r\n", LongAgo);
  fs.AddFile("/W/INC/changed.h", "int A(void);\r\nint B(void);\r\n", LongAgo);
  fs.AddFile("/W/INC/changed.h.TMP", "int B(void);\r\nint A(void);\r\n", LongAgo);
  fs.AddFile("/W/INC/new.h.TMP", "int C(void);\r\n", LongAgo);
}

TEST_F(TWriterFaultsTest, AHeaderUpdateFailingAtAnyCall) {
  const std::vector<std::string> top = {"UPDATEHEADERFILES=C:\\W\\INC"};
  const TOutcome expected = Build(nullptr, FillHeaders, top);
  ASSERT_EQ(expected.state, psReady) << expected.messages;
  ASSERT_EQ(expected.after.at("/W/INC/changed.h"), "int B(void);\r\nint A(void);\r\n");
  ASSERT_EQ(expected.after.at("/W/INC/new.h"), "int C(void);\r\n");
  ASSERT_FALSE(expected.after.contains("/W/INC/changed.h.TMP"));

  const int runs = WalkFaults(AllFsCalls(), [&](const TFault& fault) {
    const TOutcome got = Build(&fault, FillHeaders, top);
    if (got.after.empty()) return false;
    // The headers are old or new whole; a collection file goes only once
    // its header holds what it held.
    for (const char* name : {"same.h", "changed.h", "new.h"}) {
      const std::string header = std::string("/W/INC/") + name, collection = header + ".TMP";
      const auto h = got.after.find(header), c = got.after.find(collection);
      if (c != got.after.end()) continue;
      if (h == got.after.end()) {
        ADD_FAILURE() << collection << " went before " << header;
      } else {
        EXPECT_EQ(h->second, got.before.at(collection)) << header;
      }
    }
    for (const auto& [path, bytes] : got.after) {
      EXPECT_EQ(path.find("/."), std::string::npos) << "a temporary is left: " << path;
    }
    EXPECT_EQ(NeitherOldNorNew(got.before, expected.after, got.after,
                               [](const std::string& p) { return p.ends_with(".TMP"); }),
              "");
    // A header that kept its old content although it differs is reported.
    const bool stale = got.after.contains("/W/INC/changed.h") &&
                       got.after.at("/W/INC/changed.h") != expected.after.at("/W/INC/changed.h");
    if (stale && fault.kind != TFsCall::Stat && fault.kind != TFsCall::List) {
      // A build that got there names the header; one that ended earlier,
      // the file it failed on.
      EXPECT_NE(got.messages.find(got.state == psReady ? "changed.h" : "C:\\W\\"),
                std::string::npos)
          << got.messages;
    }
    return true;
  });
  EXPECT_GT(runs, 10);
}

}  // namespace
}  // namespace tessel::test
