#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/file_system.h"
#include "support/FileTool.h"
#include "tests/engine/engine_fixture.h"

namespace tessel::test {
namespace {

class HeaderUpdate : public TEngineTest {
 protected:
  void Update() { RunLines({"UPDATEHEADERFILES=\"" + dir.Path() + "/include\""}); }
  std::string Write(const std::string& name, const std::string& bytes, TDateTime when) {
    std::string path = dir.Write("include/" + name, bytes);
    EXPECT_TRUE(SetFileLastWriteTime(path, when));
    return path;
  }
  bool Exists(const std::string& name) const { return PathExists(dir.File("include/" + name)); }
};

TEST_F(HeaderUpdate, ReplacesOnlyHeadersThatDiffer) {
  Write("same.h", "int A(void);\r\n", 45000.0);
  Write("same.h.TMP", "int A(void);\r\n", 45001.0);
  Write("changed.h", "int A(void);\r\nint B(void);\r\n", 45000.0);
  Write("changed.h.TMP", "int B(void);\r\nint A(void);\r\n", 45001.0);
  Write("new.h.tmp", "int C(void);\r\n", 45001.0);  // found without regard to case
  Update();
  EXPECT_FALSE(Exists("same.h.TMP"));
  EXPECT_EQ(FileDateTime(dir.File("include/same.h")), 45000.0);
  EXPECT_FALSE(Exists("changed.h.TMP"));
  EXPECT_EQ(dir.Read("include/changed.h"), "int B(void);\r\nint A(void);\r\n");
  // ".TMP" is removed in these letters only: the file has no header to
  // replace and stays as it is.
  EXPECT_EQ(dir.Read("include/new.h.tmp"), "int C(void);\r\n");
  EXPECT_FALSE(Exists("new.h"));
}

TEST_F(HeaderUpdate, AHeaderThatCannotBeReplacedKeepsBothFilesAndTheRestGoesOn) {
  const std::string locked = Write("a.h", "old\r\n", 45000.0);
  Write("a.h.TMP", "new\r\n", 45001.0);
  Write("b.h.TMP", "int B(void);\r\n", 45001.0);
  std::filesystem::create_directories(dir.File("include/dir.h.TMP"));
  ASSERT_TRUE(SetReadOnly(locked, true));
  Update();
  EXPECT_EQ(dir.Read("include/a.h"), "old\r\n");
  EXPECT_EQ(dir.Read("include/a.h.TMP"), "new\r\n");
  EXPECT_EQ(dir.Read("include/b.h"), "int B(void);\r\n");
  EXPECT_FALSE(Exists("b.h.TMP"));
  EXPECT_TRUE(DirectoryExists(dir.File("include/dir.h.TMP")));
  EXPECT_FALSE(Exists("dir.h"));
  // The header that stayed is named in a line that always reaches the window.
  const auto line = std::find_if(Window().begin(), Window().end(), [](const std::string& text) {
    return text.starts_with("Header not updated: ");
  });
  ASSERT_NE(line, Window().end());
  EXPECT_NE(line->find(dir.Path() + "/include\\a.h"), std::string::npos) << *line;
}

}  // namespace
}  // namespace tessel::test
