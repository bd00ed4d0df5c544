#include "tests/toolchain/sh_programs.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/path_split.h"
#include "platform/process.h"

namespace tessel::test {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

TProgramRun Run(const std::string& command, const std::string& dir) {
  const ProcessResult result = RunTool(command, dir, std::nullopt, "MyOutPut.TXT");
  TProgramRun run;
  run.exitCode = result.errorCode != 0 ? result.errorCode : result.exitCode;
  const std::string outputFile = JoinPath(dir, "MyOutPut.TXT");
  if (FileExists(outputFile)) run.output = ReadFileBytes(outputFile);
  return run;
}

}  // namespace

TProgramRun RunToolProgram(const std::string& tool, const std::string& dir,
                           const std::vector<std::string>& options,
                           const std::vector<std::string>& args) {
  if (!options.empty()) {
    std::string text;
    for (const std::string& option : options) text += option + "\r\n";
    WriteFileBytes(JoinPath(dir, "TEMP.TXT"), text);
  }
  std::string command = Quoted(std::string(TESSEL_TOOL_DIR) + "/" + tool);
  for (const std::string& arg : args) command += " " + Quoted(arg);
  // The command interpreter's rule strips the outer pair of quotes.
  return Run(Quoted(command), dir);
}

TProgramRun RunOnQemu(const std::string& elf, const std::string& dir) {
  return Run("timeout 60 qemu-sh4eb " + Quoted(elf), dir);
}

void Translate(const std::string& dir, const std::string& source, const std::string& object,
               const std::vector<std::string>& extraOptions) {
  const std::string extension = ExtractFileExt(source);
  const bool assembler = extension == ".SRC" || extension == ".src";
  std::vector<std::string> options = {Quoted(source), "-object=" + Quoted(object), "-cpu=sh4a",
                                      "-endian=big"};
  options.insert(options.end(), extraOptions.begin(), extraOptions.end());
  const TProgramRun run = RunToolProgram(assembler ? "asmsh" : "shcpp", dir, options);
  ASSERT_EQ(run.exitCode, 0u) << source << "\n" << run.output;
}

void LinkHarness(const std::string& dir, const std::vector<std::string>& objects,
                 const std::string& output) {
  std::vector<std::string> options = {"-form=absolute", "-entry=harness_start",
                                      "-output=" + Quoted(output)};
  for (const std::string& object : objects) options.push_back("-input " + Quoted(object));
  const TProgramRun run = RunToolProgram("optlnk", dir, options);
  ASSERT_EQ(run.exitCode, 0u) << run.output;
}

}  // namespace tessel::test
