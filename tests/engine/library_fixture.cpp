#include "tests/engine/library_fixture.h"

#include <algorithm>
#include <filesystem>

#include "platform/file_system.h"
#include "support/FileTool.h"
#include "support/date_time.h"

namespace tessel::test {

TLibraryTest::TLibraryTest() {
  for (const char* sub : {"lib/TEMP", "lib/SOURCE", "obj", "include", "templates"}) {
    std::filesystem::create_directories(dir.File(sub));
  }
  dir.Write("templates/SYSCALL_TEMPLATE.SRC",
            "  .export _<name>\r\n_<name>:\r\n  mov.l #<number>,r0\r\n  rts\r\n");
  dir.Write("ASMSH_OPTIONS.PRJ", "ASM_OPT=-debug\r\n");
}

std::string TLibraryTest::Sys(const std::string& relative) const {
  std::string path = dir.Path() + "\\" + relative;
  std::replace(path.begin() + static_cast<long>(dir.Path().size()), path.end(), '/', '\\');
  return path;
}

std::vector<std::string> TLibraryTest::Head(const std::string& library) const {
  return {
      "PROJECTDIR=\"" + dir.Path() + "\"",
      "WORKDIR=\"" + dir.Path() + "\"",
      "LIBDIR=\"$(PROJECTDIR)\\lib\"",
      "OBJECTDIR=\"$(PROJECTDIR)\\obj\"",
      "HEADERDIR=\"$(PROJECTDIR)\\include\"",
      "TEMPLATEDIR=\"$(PROJECTDIR)\\templates\"",
      "ASM_CMD=\"" + tool + "\"",
      "COMPILE_CMD=\"" + tool + "\"",
      "LNK_CMD=\"" + tool + "\"",
      "LIBRARY=" + library,
      "DEPENDENCY=",
      "DEPENDENCY=\"$(PROJECTDIR)\\ASMSH_OPTIONS.PRJ\"",
      "ASM_OPT=",
      "INCLUDE=\"$(PROJECTDIR)\\ASMSH_OPTIONS.PRJ\"",
      "ASM_OPT=-output=obj/$(PROG).OBJ",
      "OPTION=",
      "OPTION=-output=obj/$(PROG).OBJ",
      "LIB_MOD_OPT=",
      "LIB_MOD_OPT=-input=$(OBJECTDIR)\\$(PROG).OBJ",
      "LIB_OPT=",
      "LIB_OPT=-form=library",
      "LIB_OPT=-append=lib/" + library + ".LIB:$(PROG)",
  };
}

std::vector<TStandinRun> TLibraryTest::Build(const std::vector<std::string>& lines, bool reportAll,
                                             uint8_t expected) {
  engine = std::make_unique<TProject>(dir.File("engine.log"));
  engine->LogWindow = &ui;
  engine->ReportAll = reportAll;
  ui.log.clear();
  EXPECT_EQ(engine->Run(Script("BUILD.PRJ", lines)), expected);
  std::vector<TStandinRun> all = ReadStandinLog(dir.Path());
  std::vector<TStandinRun> fresh(all.begin() + static_cast<long>(runsSeen), all.end());
  runsSeen = all.size();
  return fresh;
}

void TLibraryTest::Date(const std::string& relative, TDateTime when) {
  ASSERT_TRUE(SetFileLastWriteTime(dir.File(relative), when)) << relative;
}

TDateTime TLibraryTest::FileDate(const std::string& relative) const {
  return FileDateTime(dir.File(relative));
}

void TLibraryTest::DateAll(const std::string& relativeDir, TDateTime when) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.File(relativeDir))) {
    ASSERT_TRUE(SetFileLastWriteTime(entry.path().string(), when));
  }
}

TDateTime TLibraryTest::At(const std::string& stamp) { return StampToDate(stamp); }

bool TLibraryTest::Shown(const std::string& line) const {
  return std::find(Window().begin(), Window().end(), line) != Window().end();
}

}  // namespace tessel::test
