#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "tests/support/fake_process.h"
#include "tests/support/standin_tool.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using namespace tessel::test;

namespace {

using Args = std::vector<std::string>;

// A copy of the stand-in tool below the temp directory, under a given name.
std::string InstallTool(const TTempDir& dir, const std::string& name) {
  const std::string target = dir.Write(name, "");
  EXPECT_TRUE(CopyFileTo(StandinToolPath(), target, false));
  return target;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

TEST(Process, OuterQuotesGoOnlyWhenMoreThanTwo) {
  EXPECT_EQ(StripOuterQuotes("\"C:\\x y\\tool\" -SUB=TEMP.TXT"), "\"C:\\x y\\tool\" -SUB=TEMP.TXT");
  EXPECT_EQ(StripOuterQuotes("\"\"C:\\x y\\tool\" \"a b\"\""), "\"C:\\x y\\tool\" \"a b\"");
  EXPECT_EQ(StripOuterQuotes("\"a\" \"b\" c"), "a\" \"b c");
  EXPECT_EQ(StripOuterQuotes("tool \"a\" \"b\""), "tool \"a\" \"b\"");
  EXPECT_EQ(StripOuterQuotes("\"only one"), "\"only one");
  EXPECT_EQ(StripOuterQuotes(""), "");
}

TEST(Process, SplitsArgumentsByTheWindowsRules) {
  EXPECT_EQ(SplitCommandLine("tool -SUB=TEMP.TXT"), (Args{"tool", "-SUB=TEMP.TXT"}));
  EXPECT_EQ(SplitCommandLine("  \t tool   a\t\tb  "), (Args{"tool", "a", "b"}));
  EXPECT_EQ(SplitCommandLine(""), Args{});
  EXPECT_EQ(SplitCommandLine("   "), Args{});
  EXPECT_EQ(SplitCommandLine("tool"), Args{"tool"});
  EXPECT_EQ(SplitCommandLine(" \"a b\"  "), Args{"a b"});
  // The program name: quotes group, backslashes are plain.
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\t.exe\" x"),
            (Args{"C:\\Program Files\\t.exe", "x"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\dir\\\" x"), (Args{"C:\\dir\\", "x"}));
  EXPECT_EQ(SplitCommandLine("C:\\bin\\t\\ a"), (Args{"C:\\bin\\t\\", "a"}));
  // Arguments: quotes group and vanish, an empty pair is an empty argument.
  EXPECT_EQ(SplitCommandLine("t \"a b\" c\"d e\"f \"\""), (Args{"t", "a b", "cd ef", ""}));
  // Backslashes: literal unless they precede a quote.
  EXPECT_EQ(SplitCommandLine("t a\\\\b \\\\\\\"x a\\\\\"b c\""),
            (Args{"t", "a\\\\b", "\\\"x", "a\\b c"}));
  EXPECT_EQ(SplitCommandLine("t \"C:\\dir\\\\\" n"), (Args{"t", "C:\\dir\\", "n"}));
  // A doubled quote inside a group is a literal quote and ends the group.
  EXPECT_EQ(SplitCommandLine("t \"a\"\"b\" c"), (Args{"t", "a\"b c"}));
  EXPECT_EQ(SplitCommandLine("t \"a\"\"b c"), (Args{"t", "a\"b", "c"}));
  EXPECT_EQ(SplitCommandLine("t \"\"\"x\"\"\""), (Args{"t", "\"x\""}));
}

TEST(Process, RunsTheToolInTheWorkDirectoryWithExactEnvironment) {
  TTempDir dir;
  const std::string tool = InstallTool(dir, "bin/shcpp");
  dir.Write("Work/TEMP.TXT", "-DFOO\r\n\"C:\\a b\\x.h\"\r\n-print=hello\r\n-exit=3\r\n");
  const std::vector<std::string> env = {"SHC_LIB=C:\\SH\\bin", "SHC_TMP=C:\\tmp"};
  // Windows spelling, other case, ".EXE", and the work directory in upper case.
  const std::string command = Quoted(dir.Path() + "\\BIN\\SHCPP.EXE") + " -SUB=TEMP.TXT";
  const ProcessResult result = RunTool(command, dir.Path() + "\\WORK", env);
  EXPECT_EQ(result.errorCode, 0u);
  EXPECT_EQ(result.exitCode, 3u);

  const std::vector<TStandinRun> runs = ReadStandinLog(dir.File("Work"));
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].args, Args{"-SUB=TEMP.TXT"});
  EXPECT_EQ(runs[0].workDir, dir.File("Work"));
  EXPECT_EQ(runs[0].environment, env);  // exactly these, no PATH
  EXPECT_EQ(runs[0].options, (Args{"-DFOO", "\"C:\\a b\\x.h\"", "-print=hello", "-exit=3"}));
  EXPECT_EQ(dir.Read("Work/MyOutPut.TXT"), "hello\n");

  // Without a block the tool inherits our environment.
  dir.Write("Work/TEMP.TXT", "");
  EXPECT_EQ(RunTool(command, dir.Path() + "/Work", std::nullopt).exitCode, 0u);
  const std::vector<TStandinRun> again = ReadStandinLog(dir.File("Work"));
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[1].number, 2);
  const std::string path = "PATH=" + GetEnvironmentValue("PATH");
  EXPECT_NE(std::find(again[1].environment.begin(), again[1].environment.end(), path),
            again[1].environment.end());
  EXPECT_EQ(dir.Read("Work/MyOutPut.TXT"), "");  // replaced, not appended to
}

TEST(Process, CapturesStandardOutputAndErrorInOrder) {
  TTempDir dir;
  const std::string tool = InstallTool(dir, "tool");
  dir.Write("opts", "-print=one\n-stderr=two\n-print=three\n-output=made.txt\n-append=log.txt:x\n");
  const ProcessResult result =
      RunTool(Quoted(tool) + " -SUB=opts", dir.Path(), std::nullopt, "out.txt");
  EXPECT_EQ(result.errorCode, 0u);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(dir.Read("out.txt"), "one\ntwo\nthree\n");
  EXPECT_EQ(dir.Read("made.txt"), "standin run 1\n");
  EXPECT_EQ(dir.Read("log.txt"), "x\n");
}

TEST(Process, AProgramThatCannotStartGives127AndAReason) {
  TTempDir dir;
  const std::string missing = dir.Path() + "\\NOPE.EXE";
  ProcessResult result = RunTool(Quoted(missing) + " -SUB=TEMP.TXT", dir.Path(), std::nullopt);
  EXPECT_EQ(result.errorCode, 0u);
  EXPECT_EQ(result.exitCode, 127u);
  EXPECT_EQ(dir.Read("MyOutPut.TXT"),
            "Cannot start " + missing + ": No such file or directory\r\n");

  // Found but not runnable: the platform's reason.
  const std::string data = dir.Write("data.bin", "not a program");
  result = RunTool(data, dir.Path(), std::nullopt);
  EXPECT_EQ(result.exitCode, 127u);
  EXPECT_EQ(dir.Read("MyOutPut.TXT"), "Cannot start " + data + ": Permission denied\r\n");
  ASSERT_EQ(::chmod(data.c_str(), 0755), 0);
  result = RunTool(data, dir.Path(), std::nullopt);
  EXPECT_EQ(result.exitCode, 127u);
  EXPECT_EQ(dir.Read("MyOutPut.TXT"), "Cannot start " + data + ": Exec format error\r\n");

  result = RunTool(dir.Path(), dir.Path(), std::nullopt);
  EXPECT_EQ(result.exitCode, 127u);
  EXPECT_EQ(dir.Read("MyOutPut.TXT"), "Cannot start " + dir.Path() + ": Is a directory\r\n");

  // A drive alone names its root directory.
  const std::string savedRoot = DriveRoot();
  SetDriveRoot(dir.Path());
  result = RunTool("C:", dir.Path(), std::nullopt);
  SetDriveRoot(savedRoot);
  EXPECT_EQ(result.exitCode, 127u);
  EXPECT_EQ(dir.Read("MyOutPut.TXT"), "Cannot start C:: Is a directory\r\n");

  // A bare name is looked up in the work directory and then in PATH only.
  result = RunTool("nosuchtool", dir.Path(), std::vector<std::string>{"X=1"});
  EXPECT_EQ(result.exitCode, 127u);
  EXPECT_EQ(dir.Read("MyOutPut.TXT"), "Cannot start nosuchtool: No such file or directory\r\n");
  // A directory of the name in PATH is passed over as well.
  dir.Write("path/nosuchtool/inner", "");
  result = RunTool("nosuchtool", dir.Path(), Args{"PATH=" + dir.File("path")});
  EXPECT_EQ(result.exitCode, 127u);
  EXPECT_EQ(dir.Read("MyOutPut.TXT"), "Cannot start nosuchtool: No such file or directory\r\n");
  result = RunTool("", dir.Path(), std::nullopt);
  EXPECT_EQ(result.exitCode, 127u);

  // An output file that takes no more bytes loses the reason, not the run.
  if (::access("/dev/full", W_OK) == 0) {
    ASSERT_TRUE(DeleteFileAt(dir.File("MyOutPut.TXT")));
    ASSERT_EQ(::symlink("/dev/full", dir.File("MyOutPut.TXT").c_str()), 0);
    result = RunTool(Quoted(missing), dir.Path(), std::nullopt);
    EXPECT_EQ(result.exitCode, 127u);
  }
}

TEST(Process, BareNamesAndRelativePaths) {
  TTempDir dir;
  InstallTool(dir, "Work/asmsh");
  InstallTool(dir, "bin/optlnk");
  InstallTool(dir, "Work/sub/rel");
  // In the work directory, by its Windows name.
  EXPECT_EQ(RunTool("ASMSH.EXE", dir.File("Work"), std::vector<std::string>{}).exitCode, 0u);
  // In PATH of the given environment.
  const std::string pathEntry = "PATH=/nonexistent:" + dir.File("bin");
  EXPECT_EQ(RunTool("OPTLNK.EXE -x", dir.File("Work"), Args{pathEntry}).exitCode, 0u);
  // Relative to the work directory, not to ours.
  EXPECT_EQ(RunTool("SUB\\REL", dir.File("Work"), std::nullopt).exitCode, 0u);
  const std::vector<TStandinRun> runs = ReadStandinLog(dir.File("Work"));
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].environment, Args{});
  EXPECT_EQ(runs[1].args, Args{"-x"});
  // A relative path with a directory part is never looked up in PATH.
  InstallTool(dir, "bin/sub/deep");
  const ProcessResult notInPath = RunTool("SUB\\DEEP", dir.File("Work"), Args{pathEntry});
  EXPECT_EQ(notInPath.exitCode, 127u);
  EXPECT_EQ(ReadStandinLog(dir.File("Work")).size(), 3u);
}

TEST(Process, ANonExecutableFileOfTheNameIsPassedOverForALaterProgram) {
  TTempDir dir;
  dir.Write("early/optlnk", "#!/bin/sh\nexit 9\n");  // readable, not executable
  dir.Write("Work/optlnk", "#!/bin/sh\nexit 8\n");
  InstallTool(dir, "late/optlnk");
  const Args path = {"PATH=" + dir.File("early") + ":" + dir.File("late")};
  ProcessResult result = RunTool("OPTLNK.EXE -x", dir.File("Work"), path);
  EXPECT_EQ(result.errorCode, 0u);
  EXPECT_EQ(result.exitCode, 0u);
  const std::vector<TStandinRun> runs = ReadStandinLog(dir.File("Work"));
  ASSERT_EQ(runs.size(), 1u) << "the program later in PATH ran";
  EXPECT_EQ(runs[0].args, Args{"-x"});

  // Only files that may not be executed: the first one found is not runnable.
  const Args onlyData = {"PATH=" + dir.File("early")};
  result = RunTool("optlnk", dir.File("Work"), onlyData);
  EXPECT_EQ(result.exitCode, 127u);
  EXPECT_EQ(dir.Read("Work/MyOutPut.TXT"), "Cannot start optlnk: Permission denied\r\n");
  DeleteFileAt(dir.File("Work/optlnk"));
  result = RunTool("optlnk", dir.File("Work"), onlyData);
  EXPECT_EQ(dir.Read("Work/MyOutPut.TXT"), "Cannot start optlnk: Permission denied\r\n");
  EXPECT_EQ(ReadStandinLog(dir.File("Work")).size(), 1u);
}

TEST(Process, AToolKilledMidRunReportsItsSignal) {
  TTempDir dir;
  const std::string tool = InstallTool(dir, "tool");
  dir.Write("TEMP.TXT", "-print=working\n-output=half.obj\n-kill=9\n-exit=0\n");
  const ProcessResult result = RunTool(Quoted(tool) + " -SUB=TEMP.TXT", dir.Path(), std::nullopt);
  EXPECT_EQ(result.errorCode, 0u);
  EXPECT_EQ(result.signal, 9u);
  EXPECT_EQ(result.exitCode, 137u);
  EXPECT_EQ(dir.Read("MyOutPut.TXT"), "working\n");
  EXPECT_TRUE(FileExists(dir.File("half.obj")));
}

TEST(Process, WorkDirectoryAndOutputFileFailures) {
  TTempDir dir;
  const std::string tool = InstallTool(dir, "tool");
  ProcessResult result = RunTool(Quoted(tool), dir.File("missing"), std::nullopt);
  EXPECT_EQ(result.errorCode, static_cast<uint32_t>(ENOENT));
  EXPECT_EQ(result.exitCode, 0u);
  result = RunTool(Quoted(tool), tool, std::nullopt);  // a file, not a directory
  EXPECT_EQ(result.errorCode, static_cast<uint32_t>(ENOTDIR));
  result = RunTool(Quoted(tool), tool + "/below", std::nullopt);
  EXPECT_EQ(result.errorCode, static_cast<uint32_t>(ENOTDIR));
  result = RunTool(Quoted(tool), dir.Path(), std::nullopt, "no/such/dir/out.txt");
  EXPECT_NE(result.errorCode, 0u);
  // An output file that may not be written, as for every other writer.
  dir.Write("out.txt", "kept");
  ASSERT_TRUE(SetReadOnly(dir.File("out.txt"), true));
  result = RunTool(Quoted(tool), dir.Path(), std::nullopt, "out.txt");
  EXPECT_EQ(result.errorCode, static_cast<uint32_t>(EACCES));
  EXPECT_EQ(dir.Read("out.txt"), "kept");
  EXPECT_TRUE(ReadStandinLog(dir.Path()).empty());  // the tool never ran
  SetReadOnly(dir.File("out.txt"), false);
}

// Counts the commands it is given and starts nothing.
class TCountingRunner final : public TProcessRunner {
 public:
  ProcessResult Run(const std::string& command, const std::string&,
                    const std::optional<std::vector<std::string>>&, const std::string&) override {
    commands.push_back(command);
    ProcessResult result;
    result.exitCode = static_cast<uint32_t>(commands.size());
    return result;
  }
  Args commands;
};

TEST(Process, ScopesPutInAndRestoreTheRunner) {
  TTempDir dir;
  EXPECT_EQ(&CurrentProcessRunner(), &SystemProcessRunner());
  TCountingRunner outer, inner;
  {
    TProcessRunnerScope outerScope(outer);
    EXPECT_EQ(RunTool("a", dir.Path(), std::nullopt).exitCode, 1u);
    {
      TProcessRunnerScope innerScope(inner);
      EXPECT_EQ(RunTool("b", dir.Path(), std::nullopt).exitCode, 1u);
    }
    EXPECT_EQ(RunTool("c", dir.Path(), std::nullopt).exitCode, 2u);
  }
  EXPECT_EQ(&CurrentProcessRunner(), &SystemProcessRunner());
  EXPECT_EQ(outer.commands, (Args{"a", "c"}));
  EXPECT_EQ(inner.commands, Args{"b"});
  EXPECT_FALSE(FileExists(dir.File("MyOutPut.TXT"))) << "nothing reached the system runner";
}

TEST(Process, LongCommandLinesPassThrough) {
  TTempDir dir;
  const std::string tool = InstallTool(dir, "tool");
  const std::string longArg(5000, 'a');
  const ProcessResult result = RunTool(
      "\"" + Quoted(tool) + " " + longArg + " \"" + longArg + " b\"\"", dir.Path(), std::nullopt);
  EXPECT_EQ(result.exitCode, 0u);
  const std::vector<TStandinRun> runs = ReadStandinLog(dir.Path());
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].args, (Args{longArg, longArg + " b"}));
}

volatile sig_atomic_t interrupts = 0;
void CountInterrupt(int) { interrupts = interrupts + 1; }

TEST(Process, CtrlCOfTheFrontEndsGroupDoesNotReachTheTool) {
  TTempDir dir;
  const std::string tool = InstallTool(dir, "tool");
  dir.Write("TEMP.TXT", "-sleep=400\n-exit=7\n");
  // Our own process group, so the signal below reaches nothing outside this test.
  const pid_t savedGroup = ::getpgrp();
  ASSERT_EQ(::setpgid(0, 0), 0);
  // A handler like the front end's, without restarting system calls: the wait
  // sees EINTR and must go on waiting.
  struct sigaction handler = {}, saved = {};
  handler.sa_handler = CountInterrupt;
  ASSERT_EQ(::sigaction(SIGINT, &handler, &saved), 0);
  interrupts = 0;
  std::thread ctrlC([] {
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGINT);
    ::pthread_sigmask(SIG_BLOCK, &block, nullptr);  // delivered to the waiting thread
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(0, SIGINT);  // what a Ctrl-C at the terminal does to the foreground group
  });
  const ProcessResult result = RunTool(Quoted(tool) + " -SUB=TEMP.TXT", dir.Path(), std::nullopt);
  ctrlC.join();
  ::sigaction(SIGINT, &saved, nullptr);
  ::setpgid(0, savedGroup);
  EXPECT_EQ(interrupts, 1);
  EXPECT_EQ(result.errorCode, 0u);
  EXPECT_EQ(result.exitCode, 7u);  // not killed by SIGINT (130)
}

// The fake runner's in-process stand-in is what the engine tests run: it must
// do what the compiled one does.
TEST(Process, TheInProcessStandinActsAsTheCompiledOne) {
  TTempDir real, fake;
  const std::string options =
      "-print=one\r\n-stderr=two\n-output=made.txt\n-append=log.txt:x\n-exit=4\n-print=three\n";
  const Args env = {"B=2", "A=1"};
  ProcessResult results[2];
  for (int round = 0; round < 2; ++round) {
    const TTempDir& dir = round == 0 ? real : fake;
    dir.Write("TEMP.TXT", options);
    dir.Write("log.txt", "before\n");
    if (round == 0) {
      const std::string tool = InstallTool(dir, "tool");
      results[0] = RunTool(Quoted(tool) + " -SUB=TEMP.TXT x", dir.Path(), env);
      results[0] = RunTool(Quoted(tool) + " -SUB=TEMP.TXT x", dir.Path(), env);
    } else {
      TFakeTools tools({"tool"});
      results[1] = RunTool("tool -SUB=TEMP.TXT x", dir.Path(), env);
      results[1] = RunTool("tool -SUB=TEMP.TXT x", dir.Path(), env);
      EXPECT_EQ(tools.runner.commands, Args(2, "tool -SUB=TEMP.TXT x"));
    }
  }
  EXPECT_EQ(results[0].exitCode, 4u);
  EXPECT_EQ(results[1].exitCode, results[0].exitCode);
  EXPECT_EQ(results[1].signal, results[0].signal);
  for (const char* name : {"MyOutPut.TXT", "made.txt", "log.txt"}) {
    EXPECT_EQ(fake.Read(name), real.Read(name)) << name;
  }
  std::vector<TStandinRun> runs[2] = {ReadStandinLog(real.Path()), ReadStandinLog(fake.Path())};
  ASSERT_EQ(runs[0].size(), 2u);
  ASSERT_EQ(runs[1].size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(runs[1][i].number, runs[0][i].number);
    EXPECT_EQ(runs[1][i].args, runs[0][i].args);
    EXPECT_EQ(runs[1][i].environment, runs[0][i].environment);
    EXPECT_EQ(runs[1][i].options, runs[0][i].options);
    EXPECT_EQ(runs[1][i].workDir, fake.Path());
  }

  // Killed mid-run, both end by the signal after what came before it.
  real.Write("TEMP.TXT", "-print=before\n-kill=9\n-print=after\n");
  fake.Write("TEMP.TXT", "-print=before\n-kill=9\n-print=after\n");
  const ProcessResult killed =
      RunTool(Quoted(real.File("tool")) + " -SUB=TEMP.TXT", real.Path(), env);
  TFakeTools tools({"tool"});
  const ProcessResult fakeKilled = RunTool("tool -SUB=TEMP.TXT", fake.Path(), env);
  EXPECT_EQ(killed.signal, 9u);
  EXPECT_EQ(fakeKilled.signal, killed.signal);
  EXPECT_EQ(fakeKilled.exitCode, killed.exitCode);
  EXPECT_EQ(fake.Read("MyOutPut.TXT"), real.Read("MyOutPut.TXT"));
}

TEST(StandinLog, ParsesRecordsAndRejectsBrokenOnes) {
  const std::vector<TStandinRun> runs = ParseStandinLog(
      "RUN 1\nARG a%25b%0Ac\nCWD /w\nENV A=1\nOPTIONS T.TXT\nOPT -x\nEND\n"
      "RUN 2\nOPTIONS gone\nUNREADABLE No such file\nEND\n");
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].args, Args{"a%b\nc"});
  EXPECT_EQ(runs[0].workDir, "/w");
  EXPECT_EQ(runs[0].environment, Args{"A=1"});
  EXPECT_TRUE(runs[0].optionsReadable);
  EXPECT_EQ(runs[0].options, Args{"-x"});
  EXPECT_TRUE(runs[1].hasOptionsFile);
  EXPECT_FALSE(runs[1].optionsReadable);
  EXPECT_THROW(ParseStandinLog("RUN 1\nARG x\n"), std::runtime_error);
  EXPECT_THROW(ParseStandinLog("ARG x\n"), std::runtime_error);
}
