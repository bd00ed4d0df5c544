#include "platform/path_split.h"

#include <gtest/gtest.h>

using namespace tessel;

TEST(PathSplit, DirectoryPartsTreatSlashAndColonAsSeparators) {
  EXPECT_EQ(ExtractFilePath("C:\\A\\B.TXT"), "C:\\A\\");
  EXPECT_EQ(ExtractFilePath("/opt/sdk/lib/X.SRC"), "/opt/sdk/lib/");
  EXPECT_EQ(ExtractFilePath("C:\\A/B\\c.d/E.F"), "C:\\A/B\\c.d/");
  EXPECT_EQ(ExtractFilePath("C:B.TXT"), "C:");
  EXPECT_EQ(ExtractFilePath("B.TXT"), "");

  EXPECT_EQ(ExtractFileDir("C:\\A\\B.TXT"), "C:\\A");
  EXPECT_EQ(ExtractFileDir("/opt/x"), "/opt");
  EXPECT_EQ(ExtractFileDir("C:\\B.TXT"), "C:\\");  // a root keeps its separator
  EXPECT_EQ(ExtractFileDir("/B.TXT"), "/");
  EXPECT_EQ(ExtractFileDir("C:B.TXT"), "C:");
  EXPECT_EQ(ExtractFileDir("B.TXT"), "");

  EXPECT_EQ(ExtractFileName("C:\\A\\B.TXT"), "B.TXT");
  EXPECT_EQ(ExtractFileName("a/b\\c"), "c");
  EXPECT_EQ(ExtractFileName("C:X"), "X");
  EXPECT_EQ(ExtractFileName("C:\\A\\"), "");

  EXPECT_TRUE(HasDirectoryPart("a/b"));
  EXPECT_TRUE(HasDirectoryPart("C:x"));
  EXPECT_FALSE(HasDirectoryPart("x.y"));
}

TEST(PathSplit, ExtensionsBelongToTheFileNameOnly) {
  EXPECT_EQ(ExtractFileExt("C:\\A\\B.TXT"), ".TXT");
  EXPECT_EQ(ExtractFileExt("C:\\A.DIR\\B"), "");
  EXPECT_EQ(ExtractFileExt("/a.dir/b"), "");
  EXPECT_EQ(ExtractFileExt("x.tar.gz"), ".gz");
  EXPECT_EQ(ExtractFileExt("name."), ".");

  EXPECT_EQ(BaseName("C:\\X\\A.B.C"), "A");
  EXPECT_EQ(BaseName("/x.y/ab"), "ab");
  EXPECT_EQ(BaseName(".hidden"), "");

  EXPECT_EQ(StripExt("C:\\X\\A.B.C"), "C:\\X\\A.B");
  EXPECT_EQ(StripExt("/a.dir/b"), "/a.dir/b");
  EXPECT_EQ(ChangeFileExt("C:\\P\\DEMO.INI", ".PRJ"), "C:\\P\\DEMO.PRJ");
  EXPECT_EQ(ChangeFileExt("/a.b/tool", ".LOG"), "/a.b/tool.LOG");
  EXPECT_EQ(ChangeFileExt("A.B", ""), "A");
}

TEST(PathSplit, DropLastFieldAndJoin) {
  EXPECT_EQ(DropLastField("C:\\SDK\\Projects\\Demo\\"), "C:\\SDK\\Projects\\Demo");
  EXPECT_EQ(DropLastField("C:\\SDK\\Projects\\Demo"), "C:\\SDK\\Projects");
  EXPECT_EQ(DropLastField("/home/u/sdk/Projects"), "/home/u/sdk");
  EXPECT_EQ(DropLastField("C:\\SDK/Projects"), "C:\\SDK");
  EXPECT_EQ(DropLastField("Demo"), "");
  EXPECT_EQ(DropLastField("\\Demo"), "");
  EXPECT_EQ(DropLastField(""), "");

  EXPECT_EQ(JoinPath("C:\\SDK", "BIN"), "C:\\SDK\\BIN");
  EXPECT_EQ(JoinPath("C:\\SDK\\", "BIN"), "C:\\SDK\\BIN");
  EXPECT_EQ(JoinPath("/opt/sdk/", "\\BIN"), "/opt/sdk/BIN");
  EXPECT_EQ(JoinPath("/opt/sdk", "/BIN"), "/opt/sdk/BIN");
  EXPECT_EQ(JoinPath("", "X.TXT"), "X.TXT");
}
