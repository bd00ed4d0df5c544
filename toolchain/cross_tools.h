#pragma once
// Finding and running Debian's SH cross tools (sh4-linux-gnu-gcc, -as, -ld,
// -ar, -objcopy). The build may hand our tools an environment without PATH
// (its SETENV list is all a tool sees), so the usual directories are
// searched then as well. The cross tools run with the C locale (plain
// quotes in their messages) and, when SHC_TMP names a directory, with their
// temporary files there.

#include <string>
#include <vector>

namespace tessel::toolchain {

struct TCrossTool {
  const char* name;     // "sh4-linux-gnu-gcc"
  const char* package;  // the Debian package that installs it
};

extern const TCrossTool kCrossGcc;
extern const TCrossTool kCrossAs;
extern const TCrossTool kCrossLd;
extern const TCrossTool kCrossAr;
extern const TCrossTool kCrossObjcopy;

// The executable's path. Throws EToolError naming the package to install
// when the tool is missing.
std::string FindCrossTool(const TCrossTool& tool);

struct TRunResult {
  int exitCode = 0;    // 128 + signal number when killed by a signal
  std::string output;  // standard output and standard error, interleaved
};

// Runs the cross tool with the arguments (host paths) and waits for it.
// Throws EToolError when it cannot be found or started.
TRunResult RunCrossTool(const TCrossTool& tool, const std::vector<std::string>& args);

// A temporary file name in the temporary directory (SHC_TMP, TMPDIR, /tmp),
// removed again when the object goes.
class TTempFile {
 public:
  explicit TTempFile(const std::string& suffix);
  ~TTempFile();
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

}  // namespace tessel::toolchain
