#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/engine/library_fixture.h"

namespace tessel::test {
namespace {

class LibraryStep : public TLibraryTest {
 protected:
  LibraryStep() { RunLines(Head("TOOLS")); }

  // Runs the step for a routine and returns the log text it wrote.
  std::string Step(const std::string& name, bool deleteForceUpdate = false) {
    const size_t before = LogText().size();
    engine->Vars.SetValue("PROG", name);
    engine->LibraryStep(name, deleteForceUpdate);
    return LogText().substr(before);
  }
  std::string Var(const std::string& name) const { return engine->Vars.ValueOf(name); }

  const std::string objects = dir.Path() + "\\obj";
};

TEST_F(LibraryStep, CreatesAMissingLibraryFromTheObjectThenModifiesIt) {
  dir.Write("obj/Add.OBJ", "add");
  dir.Write("obj/Sub.OBJ", "sub");
  const std::string object = Sys("obj\\Add.OBJ");
  const std::string create = "\"\"" + tool + "\" \"" + object + "\" -SUB=TEMP.TXT\"";

  EXPECT_EQ(Step("Add"), "-form=library\r\n-append=lib/TOOLS.LIB:Add\r\n--- --- ---\r\ncmd: " +
                             create + "\r\nwd: " + dir.Path() + "\r\nresult: 0 0\r\n");
  EXPECT_EQ(Window(), std::vector<std::string>{create + "  00000000"});
  EXPECT_EQ(Var("LIBNEW"), "TRUE");
  EXPECT_EQ(engine->Vars.IndexOfName("DEPENDENCY"), -1);
  EXPECT_EQ(engine->Vars.IndexOfName("DEPENDANT"), -1);
  auto runs = ReadStandinLog(dir.Path());
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].args, (std::vector<std::string>{object, "-SUB=TEMP.TXT"}));
  EXPECT_EQ(runs[0].options,
            (std::vector<std::string>{"-form=library", "-append=lib/TOOLS.LIB:Add"}));

  // The library exists now: modify options first, no object on the command line.
  const std::string modify = "\"" + tool + "\" -SUB=TEMP.TXT";
  EXPECT_EQ(Step("Sub"), "options:\r\n-input=" + objects +
                             "\\Sub.OBJ\r\n-form=library\r\n-append=lib/TOOLS.LIB:Sub\r\n"
                             "--- --- ---\r\ncmd: " +
                             modify + "\r\nwd: " + dir.Path() + "\r\nresult: 0 0\r\n");
  runs = ReadStandinLog(dir.Path());
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1].args, std::vector<std::string>{"-SUB=TEMP.TXT"});
  EXPECT_EQ(dir.Read("lib/TOOLS.LIB"), "Add\nSub\n");

  // LIBNEW stays set: an object older than the library goes in again.
  Date("obj/Add.OBJ", At("20240101000000"));
  Step("Add");
  EXPECT_EQ(dir.Read("lib/TOOLS.LIB"), "Add\nSub\nAdd\n");
}

TEST_F(LibraryStep, SkipsAnUpToDateObjectAndClearsOnlyAfterASkipWithoutReason) {
  engine->ReportAll = true;
  dir.Write("obj/Add.OBJ", "add");
  dir.Write("lib/TOOLS.LIB", "lib");
  Date("obj/Add.OBJ", At("20240101000000"));
  Date("lib/TOOLS.LIB", At("20240102000000"));
  Date("ASMSH_OPTIONS.PRJ", At("20240101000000"));
  engine->Vars.SetValue("FORCEUPDATE", "FALSE");

  EXPECT_EQ(Step("Add"), "No news!\r\n");
  EXPECT_EQ(Window().back(), "No news!");
  EXPECT_EQ(engine->Vars.IndexOfName("DEPENDENCY"), -1);
  EXPECT_EQ(engine->Vars.IndexOfName("DEPENDANT"), -1);
  EXPECT_EQ(Var("FORCEUPDATE"), "FALSE") << "only the syscall step deletes it";
  Step("Add", true);
  EXPECT_EQ(engine->Vars.IndexOfName("FORCEUPDATE"), -1);
  EXPECT_TRUE(ReadStandinLog(dir.Path()).empty());

  // A missing object is a reason: reported, forced, and the rule's
  // variables stay for the user to see.
  engine->ReportAll = false;
  ui.log.clear();
  const std::string missing = Sys("obj\\Gone.OBJ");
  EXPECT_EQ(Step("Gone"), "Dependency: \"" + missing + "\" does not exist!\r\n");
  EXPECT_EQ(Window(), std::vector<std::string>{"Dependency: \"" + missing + "\" does not exist!"});
  EXPECT_EQ(Var("DEPENDENCY"), missing);
  EXPECT_EQ(Var("DEPENDANT"), Sys("lib\\TOOLS.LIB"));

  // LIBNEW set by a script line forces the step; "true" does not.
  RunLines({"LIBNEW=true"});
  Step("Add");
  EXPECT_TRUE(ReadStandinLog(dir.Path()).empty());
  RunLines({"LIBNEW=TRUE"});
  Step("Add");
  EXPECT_EQ(ReadStandinLog(dir.Path()).size(), 1u);
}

TEST_F(LibraryStep, AbsentOptionListsGiveAnEmptyOptionsFile) {
  RunLines({"LIB_OPT=", "LIB_MOD_OPT="});
  dir.Write("obj/Add.OBJ", "add");
  dir.Write("lib/TOOLS.LIB", "lib");
  Date("lib/TOOLS.LIB", At("20240101000000"));
  EXPECT_TRUE(Step("Add").starts_with("options:\r\n--- --- ---\r\ncmd: "));
  EXPECT_EQ(dir.Read("TEMP.TXT"), "");
  auto runs = ReadStandinLog(dir.Path());
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_TRUE(runs[0].options.empty());
}

}  // namespace
}  // namespace tessel::test
