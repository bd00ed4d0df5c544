#include "app/prebuild_checks.h"

#include "platform/atomic_file.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "settings/MyIni.h"
#include "setup/checks.h"
#include "support/text.h"

namespace tessel {

namespace {

constexpr const char* kBreak = "\r\n";
constexpr const char* kOutputFileName = "MyOutPut.TXT";

TParamlist SectionOf(const std::string& file, const std::string& section) {
  TParamlist list;
  TQuotedINI(file).ReadSectionValues(section, list);
  return list;
}

// The entries of a base section followed by those of a project section.
TParamlist Joined(const std::string& baseIni, const std::string& baseSection,
                  const std::string& projectIni, const std::string& projectSection) {
  TParamlist list = SectionOf(baseIni, baseSection);
  const TParamlist more = SectionOf(projectIni, projectSection);
  for (size_t i = 0; i < more.Count(); ++i) list.Add(more.Line(i));
  return list;
}

// "CMD /C command > MyOutPut.TXT" in the working directory, the old output
// file deleted first; the exit code. A linker that could not be started at
// all gets a log line saying why and the exit code 1, as the command
// interpreter gives for a command it cannot carry out: no batch may read as
// groomed when the linker never ran.
uint32_t RunInDirectory(const std::string& linker, const std::string& command,
                        const std::string& workDir, TUserInterface& ui) {
  const std::string dir = workDir.empty() ? "." : workDir;
  // An output file that cannot go is truncated by the run, or it keeps the
  // linker from starting, which is logged below.
  DeleteFileAt(JoinPath(dir, kOutputFileName));
  const ProcessResult result = RunTool(command, dir, std::nullopt, kOutputFileName);
  if (result.errorCode == 0) return result.exitCode;
  ui.LogLine("\"" + linker + "\" could not be started in \"" + dir + "\" (" +
             PlatformErrorText(static_cast<int>(result.errorCode)) + ")");
  return 1;
}

}  // namespace

bool RunPreBuildChecks(const std::string& projectFile, const std::string& baseIniFile, bool makeAll,
                       TUserInterface& ui) {
  if (!FileExists(projectFile)) {
    ui.ShowWarning(std::string("CurrentProjectFile:") + kBreak + projectFile + kBreak +
                   " does not exist!");
    return false;
  }
  if (!FileExists(baseIniFile)) {
    ui.ShowWarning(std::string("BaseIniFile:") + kBreak + baseIniFile + kBreak +
                   " does not exist!");
    return false;
  }
  const TParamlist general = SectionOf(baseIniFile, "vleGeneral");

  const TParamlist directories =
      Joined(baseIniFile, "vleRequiredDirectories", projectFile, "vleRequiredProjectDirectories");
  if (!CheckDirectories(general, directories, ui)) {
    ui.ShowWarning("Missing diectories!");
    return false;
  }

  const TParamlist files =
      Joined(baseIniFile, "vleRequiredFiles", projectFile, "vleRequiredProjectFiles");
  for (size_t i = 0; i < files.Count(); ++i) {
    const std::string path = general.Expand(files.ValueAt(i), false);
    if (!FileExists(path)) {
      ui.ShowWarning(path + " does not exist!");
      return false;
    }
  }

  const std::string target = general.Expand("$(LIBDIR)\\fxCG_library.lib", false);
  if (FileExists(target) && !makeAll) return true;
  const std::string source = general.Expand("$(BINDIR)\\fx9860G_library.lib", false);
  if (!FileExists(source)) {
    ui.ShowWarning(source + " does not exist!");
    return false;
  }
  const TParamlist grooming = SectionOf(baseIniFile, kGroomingSection);
  if (grooming.Count() == 0) {
    // Without its first entry the linker would not know how to make the
    // library, so the copy would go ungroomed into every build.
    ui.ShowError(std::string("The section \"") + kGroomingSection + "\" of" + kBreak + baseIniFile +
                 kBreak + "has no entry. Its first entry, the linker options that make " +
                 "fxCG_library.lib, is required.");
    return false;
  }

  ui.LogLine("Copy: fx9860G_library.lib.");
  // The build goes on as after any copy; the line tells why the grooming
  // that follows may fail, or work on the previous library.
  const std::string failed = CopyLibrary(source, target);
  if (!failed.empty()) ui.LogLine("Copy failed: " + failed);
  ui.LogLine("Grooming: fx9860G_library.lib.");
  GroomLibrary(general, grooming, ui);
  return true;
}

std::string CopyLibrary(const std::string& source, const std::string& target) {
  try {
    TFile in(source, TFile::Mode::Read);
    const int64_t size = in.Size();
    TAtomicFile out(target);
    if (out.File().CopyFrom(in, size) != size) {
      return "\"" + source + "\" changed while it was copied";
    }
    out.Commit();
  } catch (const EFileError& e) {
    return e.what();
  }
  // A plain copy keeps the date; a library without it is as good, only
  // younger, so a date that cannot be set is no failure.
  TDateTime written;
  if (FileLastWriteTime(source, written)) SetFileLastWriteTime(target, written);
  return "";
}

void GroomLibrary(const TParamlist& general, const TParamlist& grooming, TUserInterface& ui) {
  if (grooming.Count() == 0) return;
  const std::string linker = general.Expand("$(BINDIR)\\OPTLNK.EXE", false);
  const std::string head = "\"" + linker + "\" " + grooming.ValueAt(0);
  const std::string workDir = general.Expand("$(LIBDIR)", false);
  std::string batch;
  for (size_t i = 1; i < grooming.Count(); ++i) {
    batch = AppendUnique(batch, grooming.ValueAt(i), ",");
    const bool last = i + 1 == grooming.Count();
    if (batch.size() <= kGroomingBatchLength && !last) continue;
    // Blank or repeated items can leave the last batch empty: nothing to run.
    if (batch.empty()) continue;
    const uint32_t exitCode = RunInDirectory(linker, "\"" + head + batch + "\"", workDir, ui);
    ui.LogLine(batch + " " + std::to_string(exitCode));
    ui.ProcessMessages();
    batch.clear();
  }
}

}  // namespace tessel
