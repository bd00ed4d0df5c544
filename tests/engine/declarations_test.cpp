#include <gtest/gtest.h>

#include <random>

#include "engine/collection_files.h"
#include "platform/file_system.h"
#include "platform/memory_file_system.h"
#include "tests/engine/engine_fixture.h"

namespace tessel::test {
namespace {

TEST(NameFromDeclaration, TakesTheIdentifierBeforeTheFirstParenthesis) {
  EXPECT_EQ(NameFromDeclaration("int Clear(void)"), "Clear");
  EXPECT_EQ(NameFromDeclaration("void*Address(void)"), "Address");
  EXPECT_EQ(NameFromDeclaration("char ** Name(int)"), "Name");
  EXPECT_EQ(NameFromDeclaration("Foo(void)"), "Foo");
  EXPECT_EQ(NameFromDeclaration("int a(int (*b)(void))"), "a");
  EXPECT_EQ(NameFromDeclaration("int\tAdd(int)"), "int\tAdd") << "tabs do not separate";
  EXPECT_EQ(NameFromDeclaration("int Add (int a)"), "");
  EXPECT_EQ(NameFromDeclaration("int *(void)"), "");
  EXPECT_EQ(NameFromDeclaration("(void)"), "");
  EXPECT_EQ(NameFromDeclaration("Add"), "");
  EXPECT_EQ(NameFromDeclaration(""), "");
}

class CollectDeclaration : public TEngineTest {
 protected:
  CollectDeclaration() {
    dir.Write("include/keep", "");
    RunLines({"HEADERDIR=\"" + dir.Path() + "/include\""});
  }
  void Collect(const std::string& declaration, const std::string& header = "x.h", bool log = true) {
    engine->CollectDeclaration(declaration, header, log);
  }
  std::string Collected() const { return dir.Read("include/x.h.TMP"); }
};

TEST_F(CollectDeclaration, AppendsEachDeclarationOnceAndLogsANewFileOnRequest) {
  const size_t before = LogText().size();
  Collect("unsigned int Foo(void)");
  EXPECT_EQ(LogText().substr(before), "created:" + dir.Path() + "/include\\x.h.TMP\r\n");
  // Already held: a line contains it, case-sensitively.
  Collect("int Foo(void)");
  Collect("unsigned int Foo(void)");
  Collect("int foo(void)");
  Collect("int Foo(void) ");
  EXPECT_EQ(Collected(), "unsigned int Foo(void);\r\nint foo(void);\r\nint Foo(void) ;\r\n");

  // A header with a directory part is used as it stands; no log without the flag.
  const size_t quiet = LogText().size();
  Collect("int Bar(void)", dir.File("other.h"), false);
  EXPECT_EQ(dir.Read("other.h.TMP"), "int Bar(void);\r\n");
  EXPECT_EQ(LogText().size(), quiet);

  // Texts in another letter case name the same file.
  Collect("int Baz(void)", "X.H");
  Collect("int Baz(void)", "x.h");
  EXPECT_EQ(Collected(),
            "unsigned int Foo(void);\r\nint foo(void);\r\nint Foo(void) ;\r\nint Baz(void);\r\n");
}

TEST_F(CollectDeclaration, FollowsChangesMadeUnderneath) {
  Collect("int A(void)");
  Collect("int B(void)");

  // Rewritten with the same size: the date tells.
  dir.Write("include/x.h.TMP", "int C(void);\r\nint D(void);\r\n");
  ASSERT_TRUE(SetFileLastWriteTime(dir.File("include/x.h.TMP"), 40000.0));
  Collect("int A(void)");
  Collect("int C(void)");
  EXPECT_EQ(Collected(), "int C(void);\r\nint D(void);\r\nint A(void);\r\n");

  // A last line without its line end keeps its own line.
  dir.Write("include/x.h.TMP", "int E(void);");
  Collect("int F(void)");
  Collect("int E(void)");
  EXPECT_EQ(Collected(), "int E(void);\r\nint F(void);\r\n");

  // Deleted by a script line: collected afresh, and announced again.
  const size_t before = LogText().size();
  RunLines({"DELFILE=$(HEADERDIR)\\x.h.TMP"});
  Collect("int F(void)");
  EXPECT_EQ(Collected(), "int F(void);\r\n");
  EXPECT_NE(LogText().find("created:", before), std::string::npos);

  // Deleted behind the engine's back.
  DeleteFileAt(dir.File("include/x.h.TMP"));
  Collect("int F(void)");
  EXPECT_EQ(Collected(), "int F(void);\r\n");
}

TEST_F(CollectDeclaration, MissingHeaderDirectoryEndsTheRun) {
  RunLines({"HEADERDIR=" + dir.Path() + "/no-such-dir"});
  EXPECT_THROW(Collect("int A(void)"), EFileError);
}

// What re-reading the file for every declaration gives.
void CollectByRereading(const std::string& path, const std::string& declaration) {
  if (!FileExists(path)) {
    WriteFileBytes(path, declaration + ";\r\n");
    return;
  }
  for (const std::string& line : ReadTextLines(path)) {
    if (line.find(declaration) != std::string::npos) return;
  }
  std::string bytes = ReadFileBytes(path);
  AppendFileBytes(path,
                  (bytes.empty() || bytes.back() == '\n' ? "" : "\r\n") + declaration + ";\r\n");
}

std::string BytesOrNone(const std::string& path) {
  return FileExists(path) ? ReadFileBytes(path) : "(none)";
}

TEST(CollectionFiles, GiveTheFileThatRereadingGives) {
  TTempDir dir;
  const std::string kept = dir.File("kept.h.TMP");
  const std::string reread = dir.File("reread.h.TMP");
  TCollectionFiles files;
  std::mt19937 random(7);
  const std::vector<std::string> pool = {"int A(void)",
                                         "unsigned int A(void)",
                                         "A(void)",
                                         "int B(int a)",
                                         "int B(int a, int b)",
                                         "void C(",
                                         "(void)",
                                         "int",
                                         "char*D(void)"};
  for (int step = 0; step < 400; ++step) {
    const unsigned action = random() % 20;
    if (action == 0) {
      DeleteFileAt(kept);
      DeleteFileAt(reread);
    } else if (action == 1) {
      // Changed underneath, with a date of its own.
      std::string bytes = "int A(void);\r\nvoid C(int x);";
      if (random() % 2 != 0) bytes += "\r\n";
      WriteFileBytes(kept, bytes);
      WriteFileBytes(reread, bytes);
      ASSERT_TRUE(SetFileLastWriteTime(kept, 40000.0 + step));
    } else {
      const std::string& declaration = pool[random() % pool.size()];
      files.Collect(kept, declaration);
      CollectByRereading(reread, declaration);
    }
    ASSERT_EQ(BytesOrNone(kept), BytesOrNone(reread)) << "step " << step;
  }
}

TEST(CollectionFiles, ReadAnExistingFileOnceHoweverManyDeclarationsFollow) {
  TMemoryFileSystem fs;
  fs.AddFile("/W/x.h.TMP", "int Old(void);\r\n", 1000);
  TFileSystemScope scope(fs);
  TCollectionFiles files;
  fs.ResetCounts();
  for (int i = 0; i < 200; ++i) {
    files.Collect("/W/x.h.TMP", "int Old(void)");  // held already
    files.Collect("/W/x.h.TMP", "int F" + std::to_string(i) + "(void)");
  }
  // Reading it again for each would make a long script's collection quadratic.
  EXPECT_EQ(fs.Calls(TFsCall::OpenRead), 1);
  const std::string bytes = fs.FileBytes("/W/x.h.TMP").value_or("");
  EXPECT_TRUE(bytes.starts_with("int Old(void);\r\nint F0(void);\r\n"));
  EXPECT_TRUE(bytes.ends_with("int F199(void);\r\n"));
}

}  // namespace
}  // namespace tessel::test
