#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "platform/file_system.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/standin_tool.h"

namespace tessel::test {
namespace {

using EngineLog = TEngineTest;

// The log is buffered, yet an engine killed while its tool runs has written
// every entry made before the tool started.
TEST_F(EngineLog, EntriesBeforeAToolThatKillsTheEngineAreInTheFile) {
  TProcessRunnerScope real(SystemProcessRunner());  // end to end: a real tool kills us
  const std::string logPath = dir.File("killed.log");
  // The last run's log is longer: none of it may follow the entries.
  WriteFileBytes(logPath, std::string(200000, '\x01'));
  const std::string script =
      Script("KILL.PRJ", {"WORKDIR=\"" + dir.Path() + "\"", "DEPENDANT=$(WORKDIR)/never.obj",
                          "OPTION=-kill-parent", "PROG=victim", "EXECUTE=" + StandinToolPath(),
                          "AFTER=never logged"});
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    int code = 3;
    try {
      TProject doomed(logPath);
      doomed.Run(script);
      code = 2;  // the tool should have killed us
    } catch (...) {
    }
    ::_exit(code);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), SIGKILL);

  const std::string log = ReadFileBytes(logPath);
  const std::string d = dir.Path();
  EXPECT_NE(log.find("WORKDIR=" + d + "\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("EXECUTE=" + StandinToolPath() + "\r\noptions:\r\n-kill-parent\r\n"),
            std::string::npos)
      << log;
  EXPECT_TRUE(
      log.ends_with("cmd: \"" + StandinToolPath() + "\" -SUB=TEMP.TXT\r\nwd: " + d + "\r\n"))
      << log;
  EXPECT_EQ(log.find("result:"), std::string::npos);
  EXPECT_EQ(log.find('\x01'), std::string::npos);
  EXPECT_EQ(ReadStandinLog(d).size(), 1u);
}

// Each engine writes its log over the last one in place; what is left of a
// longer old log is gone by the end of the build, and a shorter one is
// simply written over.
TEST_F(EngineLog, ALogWrittenOverTheLastOneEndsWithItsOwnText) {
  const std::string logPath = dir.File("over.log");
  const std::string script = Script("NOOP.PRJ", {"A=1", "B=$(A)2"});
  std::string firstLog;
  for (const size_t oldSize : {size_t{300000}, size_t{0}, size_t{10}}) {
    WriteFileBytes(logPath, std::string(oldSize, '\x01'));
    {
      TProject engine(logPath);
      engine.Run(script);
    }
    const std::string log = ReadFileBytes(logPath);
    EXPECT_TRUE(log.ends_with("Script closed.\r\n")) << oldSize;
    EXPECT_EQ(log.find('\x01'), std::string::npos) << oldSize;
    if (firstLog.empty()) firstLog = log;
    EXPECT_EQ(log, firstLog) << oldSize;
  }
}

// An error that ends the run still leaves every entry in the file, the
// closing entries of the scripts included.
TEST_F(EngineLog, AnErrorThatEndsTheRunLeavesTheWholeLog) {
  Script("INNER.PRJ",
         {"WORKDIR=" + dir.Path() + "/no/such/dir", "DEPENDANT=$(WORKDIR)/x.obj", "EXECUTE=tool"});
  EXPECT_THROW(RunLines({"INCLUDE=" + dir.Path() + "/INNER.PRJ"}), EFileError);
  EXPECT_TRUE(dir.Read("engine.log")
                  .ends_with(" EXECUTE=tool\r\n --- --- ---\r\n Script closed.\r\n"
                             "--- --- ---\r\nScript closed.\r\n"))
      << dir.Read("engine.log");
}

}  // namespace
}  // namespace tessel::test
