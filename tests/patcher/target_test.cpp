#include <gtest/gtest.h>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "tests/patcher/patch_fixture.h"

using namespace tessel;
using namespace tessel::test;

namespace {

bool IsReadOnly(const std::string& path) {
  const int64_t attr = FileGetAttr(path);
  return attr >= 0 && (attr & faReadOnly) != 0;
}

}  // namespace

TEST_F(TPatchTest, MissingTargetAndSourceEndTheRunWithTheirTexts) {
  EXPECT_EQ(Run({DirectoryLine(), "TARGETFILE=\"t.bin\""}),
            "Target missing and Source not defined!\r\n" + Path("t.bin"));
  EXPECT_EQ(Run({DirectoryLine(), "SOURCEFILE=s.bin", "TARGETFILE=t.bin"}),
            "Target and Source missing!\r\n" + Path("t.bin") + "\r\n" + Path("s.bin"));
  EXPECT_TRUE(Logged("SOURCEFILE=s.bin\r\n -> " + Path("s.bin")));
  EXPECT_FALSE(FileExists(Path("t.bin")));
}

TEST_F(TPatchTest, ADefinedSourceAlwaysRebuildsTheTargetUpToMaxSize) {
  std::string source;
  for (int i = 0; i < 25000; ++i) source += static_cast<char>(i * 7);
  dir.Write("s.bin", source);
  dir.Write("t.bin", "old content that goes");
  EXPECT_EQ(Run({DirectoryLine(), "SOURCEFILE=s.bin", "TARGETFILE=t.bin"}), "");
  EXPECT_TRUE(Logged("TARGETFILE=t.bin\r\n copy " + Path("t.bin")));
  EXPECT_EQ(dir.Read("t.bin"), source);  // more than two copy blocks

  EXPECT_EQ(Run({DirectoryLine(), "MAXSIZE=16", "SOURCEFILE=s.bin", "TARGETFILE=t.bin",
                 "INSERTSTRING=ab"}),
            "");
  EXPECT_TRUE(Logged("MAXSIZE=16 -> 00000010"));
  EXPECT_EQ(dir.Read("t.bin"), "ab" + std::string(1, '\0') + source.substr(3, 13));
  EXPECT_EQ(dir.Read("s.bin"), source);
}

TEST_F(TPatchTest, WithoutSourceTheTargetIsPatchedInPlaceFromPositionZero) {
  dir.Write("t.bin", "123456");
  EXPECT_EQ(Run({DirectoryLine(), "TARGETFILE=t.bin", "INSERTCHAR=$41,2"}), "");
  EXPECT_EQ(dir.Read("t.bin"), "AA3456");
}

TEST_F(TPatchTest, SourceThatIsTheTargetOrUnreadableCostsNoContent) {
  dir.Write("t.bin", "0123456789");
  EXPECT_EQ(Run({DirectoryLine(), "MAXSIZE=4", "SOURCEFILE=t.bin", "TARGETFILE=T.BIN"}),
            "Target and Source are the same file!\r\n" + Path("T.BIN") + "\r\n" + Path("t.bin"));
  EXPECT_EQ(dir.Read("t.bin"), "0123456789");

  // A directory as source cannot be read: the command fails quietly, the
  // target keeps its bytes, and the next command finds no open target.
  dir.Write("srcdir/x", "");
  TPatcher patcher;
  EXPECT_THROW(RunWith(patcher, {DirectoryLine(), "SOURCEFILE=srcdir", "TARGETFILE=t.bin",
                                 "INSERTSTRING=x"}),
               ETargetNotOpen);
  EXPECT_FALSE(Logged("TARGETFILE=t.bin\r\n copy " + Path("t.bin")));
  EXPECT_EQ(dir.Read("t.bin"), "0123456789");
}

TEST_F(TPatchTest, ReadOnlyTargetsNeedUnlockingAndAreLockedAgain) {
  dir.Write("t.bin", "abc");
  ASSERT_TRUE(SetReadOnly(Path("t.bin"), true));
  // Not unlocked: the run fails and the protected file stays untouched.
  EXPECT_EQ(Run({DirectoryLine(), "TARGETFILE=t.bin", "INSERTSTRING=x"}),
            "Target readonly! Not unlocked!\r\n" + Path("t.bin"));
  EXPECT_EQ(dir.Read("t.bin"), "abc");
  EXPECT_TRUE(IsReadOnly(Path("t.bin")));

  {
    TPatcher patcher;
    RunWith(patcher, {"TARGETUNLOCK=TRUE", DirectoryLine(), "TARGETFILE=t.bin", "INSERTSTRING=x"});
    EXPECT_EQ(patcher.Error(), "");
    EXPECT_TRUE(Logged("TARGETUNLOCK=TRUE -> -1"));
    EXPECT_FALSE(IsReadOnly(Path("t.bin")));  // open for patching
  }
  EXPECT_TRUE(IsReadOnly(Path("t.bin")));  // locked again when closed
  EXPECT_EQ(dir.Read("t.bin"), std::string("x\0c", 3));

  // Unlocking a target that was writable does not make it read-only.
  dir.Write("w.bin", "w");
  EXPECT_EQ(Run({"TARGETUNLOCK=TRUE", DirectoryLine(), "TARGETFILE=w.bin", "INSERTSTRING=v"}), "");
  EXPECT_FALSE(IsReadOnly(Path("w.bin")));

  dir.Write("u.bin", "u");
  EXPECT_EQ(Run({"TARGETLOCK=true", DirectoryLine(), "TARGETFILE=u.bin"}), "");
  EXPECT_TRUE(Logged("TARGETLOCK=true -> -1"));
  EXPECT_TRUE(IsReadOnly(Path("u.bin")));
}

TEST_F(TPatchTest, AFailedRunDeletesEvenATargetThatWouldBeLocked) {
  dir.Write("t.bin", "abc");
  ASSERT_TRUE(SetReadOnly(Path("t.bin"), true));
  EXPECT_NE(Run({"TARGETUNLOCK=TRUE", "TARGETLOCK=TRUE", DirectoryLine(), "TARGETFILE=t.bin",
                 "CHECKLIST=0,1"}),
            "");
  EXPECT_FALSE(FileExists(Path("t.bin")));
}

TEST_F(TPatchTest, ASecondTargetFileFinishesThePreviousTargetFirst) {
  dir.Write("a.bin", "a");
  dir.Write("b.bin", "b");
  TPatcher patcher;
  RunWith(patcher, {"TARGETLOCK=TRUE", DirectoryLine(), "TARGETFILE=a.bin", "INSERTSTRING=1",
                    "TARGETFILE=b.bin", "INSERTSTRING=2"});
  EXPECT_TRUE(IsReadOnly(Path("a.bin")));
  EXPECT_FALSE(IsReadOnly(Path("b.bin")));
  EXPECT_EQ(dir.Read("a.bin"), std::string("1\0", 2));
  EXPECT_EQ(patcher.TargetName(), Path("b.bin"));
}

TEST_F(TPatchTest, DirectoryExpandsSettingsBetweenPercentSigns) {
  SetEnvironmentValue("TESSEL_PATCH_DIR", dir.Path());
  SetEnvironmentValue("TESSEL_PATCH_SUB", "sub");
  dir.Write("sub/a.bin", "a");
  EXPECT_EQ(Run({"DIRECTORY=\"%TESSEL_PATCH_DIR%/%TESSEL_PATCH_SUB%/\"", "TARGETFILE=a.bin",
                 "INSERTSTRING=b"}),
            "");
  EXPECT_TRUE(Logged("DIRECTORY=\"%TESSEL_PATCH_DIR%/%TESSEL_PATCH_SUB%/\"\r\n -> " + dir.Path() +
                     "/sub/"));
  EXPECT_EQ(dir.Read("sub/a.bin"), std::string("b\0", 2));

  // A single "%" stays as written; a setting naming itself stops.
  SetEnvironmentValue("TESSEL_PATCH_SELF", "%TESSEL_PATCH_SELF%!");
  EXPECT_EQ(Run({"DIRECTORY=C:\\x%TESSEL_PATCH_SUB", "DIRECTORY=%TESSEL_PATCH_SELF%",
                 "DIRECTORY=%NO_SUCH_TESSEL_SETTING%x"}),
            "");
  EXPECT_TRUE(Logged("DIRECTORY=C:\\x%TESSEL_PATCH_SUB\r\n -> C:\\x%TESSEL_PATCH_SUB"));
  EXPECT_EQ(logged[2].rfind("DIRECTORY=%TESSEL_PATCH_SELF%\r\n -> %TESSEL_PATCH_SELF%!", 0), 0u);
  EXPECT_TRUE(Logged("DIRECTORY=%NO_SUCH_TESSEL_SETTING%x\r\n -> x"));
  // Nothing but blanks between the first two: no setting is named.
  EXPECT_EQ(Run({"DIRECTORY=C:\\a% %b%%c"}), "");
  EXPECT_TRUE(Logged("DIRECTORY=C:\\a% %b%%c\r\n -> C:\\a% %b%%c"));
  SetEnvironmentValue("TESSEL_PATCH_DIR", "");
  SetEnvironmentValue("TESSEL_PATCH_SUB", "");
  SetEnvironmentValue("TESSEL_PATCH_SELF", "");
}
