#include "platform/profile.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/file_system.h"
#include "platform/memory_file_system.h"

using namespace tessel;

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;
using Names = std::vector<std::string>;

// A profile file in a file system of its own.
class ProfileTest : public ::testing::Test {
 protected:
  ProfileTest() : use_(fs_) { fs_.AddDirectory("/p"); }
  std::string Bytes() const { return fs_.FileBytes(kFile).value_or("<none>"); }

  static constexpr const char* kFile = "/p/a.ini";
  TMemoryFileSystem fs_;

 private:
  TFileSystemScope use_;
};

}  // namespace

TEST_F(ProfileTest, ReadsWithoutRegardToCaseBlanksOrOnePairOfQuotes) {
  fs_.AddFile(kFile,
              "Stray=1\r\n"
              "[Main]\r\n"
              " \t Key \t= \t\" quoted \" \t\r\n"
              "key=second\r\n"
              "Single='s'\n"
              "Mixed=\"m'\r\n"
              "One=\"\r\n"
              "Empty=\"\"\r\n"
              "Eq==x=\r\n"
              "; Hidden=1\r\n"
              "NoEquals\r\n"
              "[Other]\r\n"
              "A=1\r\n"
              "\t[ MAIN ]\t\r\n"
              "Late=2\r\n"
              "[Unclosed\r\n"
              "B=3");
  EXPECT_EQ(ProfileRead(kFile, " main ", "KEY"), " quoted ");
  EXPECT_EQ(ProfileRead(kFile, "Main", "single"), "s");
  EXPECT_EQ(ProfileRead(kFile, "Main", "Mixed"), "\"m'");
  EXPECT_EQ(ProfileRead(kFile, "Main", "One"), "\"");
  EXPECT_EQ(ProfileRead(kFile, "Main", "Empty"), "");
  EXPECT_EQ(ProfileRead(kFile, "Main", "Eq"), "=x=");
  EXPECT_EQ(ProfileRead(kFile, "Main", "Late"), "2");  // in the second copy
  EXPECT_EQ(ProfileRead(kFile, "Unclosed", "B"), "3");
  EXPECT_EQ(ProfileRead(kFile, "Main", "Stray"), std::nullopt);
  EXPECT_EQ(ProfileRead(kFile, "Main", "Hidden"), std::nullopt);
  EXPECT_EQ(ProfileRead(kFile, "Main", "; Hidden"), std::nullopt);
  EXPECT_EQ(ProfileRead(kFile, "Main", "NoEquals"), std::nullopt);
  EXPECT_EQ(ProfileRead(kFile, "Other", "Late"), std::nullopt);
  EXPECT_EQ(ProfileRead(kFile, "None", "A"), std::nullopt);
  EXPECT_EQ(ProfileRead("/p/missing.ini", "Main", "Key"), std::nullopt);

  EXPECT_EQ(ProfileKeys(kFile, "MAIN"),
            (Names{"Key", "key", "Single", "Mixed", "One", "Empty", "Eq", "Late"}));
  EXPECT_EQ(ProfileReadSection(kFile, "main"),
            (Pairs{{"Key", " quoted "},
                   {"key", " quoted "},  // a repeated key reads its first line
                   {"Single", "s"},
                   {"Mixed", "\"m'"},
                   {"One", "\""},
                   {"Empty", ""},
                   {"Eq", "=x="},
                   {"Late", "2"}}));
  EXPECT_EQ(ProfileSections(kFile), (Names{"Main", "Other", "Unclosed"}));
  EXPECT_TRUE(ProfileKeys(kFile, "None").empty());
  EXPECT_TRUE(ProfileSections("/p/missing.ini").empty());
}

TEST_F(ProfileTest, WritesReplaceInPlaceAppendToTheSectionOrAddOne) {
  fs_.AddFile(kFile, "[Main]\r\nKey = 1\r\n\r\n[Next]\nX=y");
  ProfileWrite(kFile, "main", " key ", "2");
  EXPECT_EQ(Bytes(), "[Main]\r\nKey=2\r\n\r\n[Next]\nX=y");
  // Behind the section's last line that is not blank.
  ProfileWrite(kFile, "Main", "New", "3");
  EXPECT_EQ(Bytes(), "[Main]\r\nKey=2\r\nNew=3\r\n\r\n[Next]\nX=y");
  // A last line without a line end gets one first.
  ProfileWrite(kFile, "NEXT", "Z", "4");
  EXPECT_EQ(Bytes(), "[Main]\r\nKey=2\r\nNew=3\r\n\r\n[Next]\nX=y\r\nZ=4\r\n");
  ProfileWrite(kFile, "Added", "K", "v");
  EXPECT_EQ(Bytes(), "[Main]\r\nKey=2\r\nNew=3\r\n\r\n[Next]\nX=y\r\nZ=4\r\n[Added]\r\nK=v\r\n");
  ProfileDeleteKey(kFile, "MAIN", "new");
  ProfileDeleteKey(kFile, "Next", "x");
  EXPECT_EQ(Bytes(), "[Main]\r\nKey=2\r\n\r\n[Next]\nZ=4\r\n[Added]\r\nK=v\r\n");
  ProfileEraseSection(kFile, "next");
  EXPECT_EQ(Bytes(), "[Main]\r\nKey=2\r\n\r\n[Added]\r\nK=v\r\n");

  // A file that ends without a line end gets a new section on a line of its own.
  fs_.AddFile(kFile, "[A]\r\nk=1");
  ProfileWrite(kFile, "B", "k", "2");
  EXPECT_EQ(Bytes(), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n");
  // An empty section: the new key goes right below the header.
  fs_.AddFile(kFile, "[A]\r\n\r\n\r\n[B]\r\n");
  ProfileWrite(kFile, "A", "k", "1");
  EXPECT_EQ(Bytes(), "[A]\r\nk=1\r\n\r\n\r\n[B]\r\n");
  ProfileWrite(kFile, "B", "k", "2");
  EXPECT_EQ(Bytes(), "[A]\r\nk=1\r\n\r\n\r\n[B]\r\nk=2\r\n");
  fs_.AddFile(kFile, "");
  ProfileWrite(kFile, "S", "k", "v");
  EXPECT_EQ(Bytes(), "[S]\r\nk=v\r\n");
}

TEST_F(ProfileTest, CopiesOfASectionBecomeOneOnTheFirstChange) {
  const std::string start =
      "[S]\r\na=1\r\n\r\n[T]\r\nt=1\r\n[s]\r\nb=2\r\n\r\n\r\n[U]\r\n[ S ]\r\na=3\r\nc=4";
  fs_.AddFile(kFile, start);
  EXPECT_EQ(ProfileRead(kFile, "S", "a"), "1");
  EXPECT_EQ(ProfileKeys(kFile, "s"), (Names{"a", "b", "a", "c"}));
  EXPECT_EQ(ProfileSections(kFile), (Names{"S", "T", "U"}));
  // The later copies' lines move behind the first copy's last line, in order;
  // blank lines that kept sections apart stay.
  ProfileWrite(kFile, "S", "d", "5");
  EXPECT_EQ(Bytes(), "[S]\r\na=1\r\nb=2\r\na=3\r\nc=4\r\nd=5\r\n\r\n[T]\r\nt=1\r\n\r\n\r\n[U]\r\n");
  EXPECT_EQ(ProfileKeys(kFile, "s"), (Names{"a", "b", "a", "c", "d"}));

  // A change that ends up changing nothing else still merges the copies.
  fs_.AddFile(kFile, start);
  ProfileDeleteKey(kFile, "S", "none");
  EXPECT_EQ(Bytes(), "[S]\r\na=1\r\nb=2\r\na=3\r\nc=4\r\n\r\n[T]\r\nt=1\r\n\r\n\r\n[U]\r\n");
  // The first copy may be empty.
  fs_.AddFile(kFile, "[S]\r\n[T]\r\n[S]\r\nx=1\r\n");
  ProfileWrite(kFile, "S", "x", "2");
  EXPECT_EQ(Bytes(), "[S]\r\nx=2\r\n[T]\r\n");

  fs_.AddFile(kFile, start);
  ProfileEraseSection(kFile, "s");
  EXPECT_EQ(Bytes(), "[T]\r\nt=1\r\n[U]\r\n");
}

TEST_F(ProfileTest, OneUpdateLeavesTheBytesOfOneWritePerEdit) {
  const std::vector<std::string> starts = {
      "; head\r\n[A]\r\nx=1\r\nY = 2\r\nx=dup\r\nz=3\r\n\r\n"
      "[B]\nk=v\n[a]\r\nw=late\r\n\r\n[C]\r\nq=1",
      "",
      "[B]\r\nk=1\r\nk=2\r\nK=3\r\n",
  };
  const std::optional<std::string> del;
  const std::vector<std::vector<TProfileEdit>> batches = {
      {{"z", "30"}, {"x", "10"}, {"Y", "20"}, {"z", "31"}, {"x", "11"}},
      {{"new", "n"}, {"x", del}, {"x", del}, {"x", "again"}, {"new", del}, {"x", del}},
      {{"w", "moved"}, {"Y", del}, {"y", "back"}, {"q", "9"}, {"w", "2"}},
      {{"[D]", "k"}, {"after", "header"}, {"z", "3"}},
      {{"k", "1"}, {"k", "2"}, {"K", del}, {"k", "3"}, {"k", del}, {"k", del}},
      {{"m", "1"}, {"n", "2"}, {"m", "3"}, {"o", "4"}, {"n", "5"}, {"m", del}, {"o", "6"}},
  };
  for (const std::string& start : starts) {
    for (const char* section : {"A", "b", "C", "New"}) {
      for (const auto& edits : batches) {
        fs_.AddFile(kFile, start);
        for (const TProfileEdit& edit : edits) {
          if (edit.value) {
            ProfileWrite(kFile, section, edit.key, *edit.value);
          } else {
            ProfileDeleteKey(kFile, section, edit.key);
          }
        }
        const std::string oneByOne = Bytes();
        fs_.AddFile(kFile, start);
        ProfileUpdate(kFile, section, edits);
        EXPECT_EQ(Bytes(), oneByOne) << "section " << section << " of\n" << start;
        fs_.AddFile(kFile, start);
        TProfileBatch batch(kFile);
        batch.Update(section, edits);
        batch.Commit();
        EXPECT_EQ(Bytes(), oneByOne) << "batch, section " << section << " of\n" << start;
      }
    }
  }
}

TEST_F(ProfileTest, ABatchWithoutChangesWritesNothing) {
  {
    TProfileBatch batch(kFile);
    batch.Update("S", {});
    batch.EraseSection("None");
    batch.Commit();
  }
  EXPECT_FALSE(fs_.HasFile(kFile));
  ProfileEraseSection(kFile, "S");
  EXPECT_FALSE(fs_.HasFile(kFile));

  fs_.AddFile(kFile, "[S]\nK=1\n");
  fs_.ResetCounts();
  TProfileBatch batch(kFile);
  batch.Update("S", {});
  batch.Update("S", {{"Missing", std::nullopt}});
  batch.Commit();
  ProfileUpdate(kFile, "S", {});
  ProfileDeleteKey(kFile, "S", "missing");
  ProfileDeleteKey(kFile, "None", "K");
  ProfileEraseSection(kFile, "None");
  EXPECT_EQ(fs_.Calls(TFsCall::OpenWrite), 0);
  EXPECT_EQ(fs_.Calls(TFsCall::Rename), 0);
  EXPECT_EQ(Bytes(), "[S]\nK=1\n");
}

TEST_F(ProfileTest, ABatchReadsItsOwnChangesAndSavesThemTogether) {
  fs_.AddFile(kFile, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
  TProfileBatch batch(kFile);
  batch.Update("A", {{"x", "10"}, {"n", "new"}});
  batch.EraseSection("b");
  batch.Update("C", {{"z", "3"}});
  EXPECT_EQ(batch.Read("a", "X"), "10");
  EXPECT_EQ(batch.Read("B", "y"), std::nullopt);
  EXPECT_EQ(batch.ReadSection("A"), (Pairs{{"x", "10"}, {"n", "new"}}));
  EXPECT_EQ(batch.Keys("C"), Names{"z"});
  EXPECT_EQ(batch.Sections(), (Names{"A", "C"}));
  EXPECT_EQ(Bytes(), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");  // nothing written yet
  batch.Commit();
  EXPECT_EQ(Bytes(), "[A]\r\nx=10\r\nn=new\r\n[C]\r\nz=3\r\n");
  // Once committed, a second commit has nothing to write.
  fs_.ResetCounts();
  batch.Commit();
  EXPECT_EQ(fs_.Calls(TFsCall::OpenWrite), 0);
}

TEST_F(ProfileTest, AFileThatCannotBeReadIsNeitherLostNorOverwritten) {
  const std::string start = "[A]\r\nx=1\r\n[B]\r\ny=2\r\n";
  fs_.AddFile(kFile, start);
  // Reading: an unreadable file holds no values.
  fs_.FailAt(TFsCall::Read, 1, EIO);
  EXPECT_EQ(ProfileRead(kFile, "A", "x"), std::nullopt);
  // Changing: the other settings would be lost, so the change fails.
  fs_.FailAt(TFsCall::Read, 1, EIO);
  EXPECT_THROW(ProfileWrite(kFile, "A", "x", "2"), EFileError);
  fs_.FailAt(TFsCall::OpenRead, 1, EACCES);
  EXPECT_THROW(ProfileEraseSection(kFile, "B"), EFileError);
  fs_.FailAt(TFsCall::OpenRead, 1, EIO);
  EXPECT_THROW(TProfileBatch batch(kFile), EFileError);
  EXPECT_EQ(Bytes(), start);
  // A failed write leaves the old file in place.
  fs_.FailAt(TFsCall::Write, 1, ENOSPC);
  EXPECT_THROW(ProfileWrite(kFile, "A", "x", "2"), EFileError);
  EXPECT_EQ(Bytes(), start);
  fs_.ClearFaults();
  ProfileWrite(kFile, "A", "x", "2");
  EXPECT_EQ(Bytes(), "[A]\r\nx=2\r\n[B]\r\ny=2\r\n");
}
