#pragma once
// Facts about the running program: its path, its command line and the
// version values compiled in from the build system.

#include <string>
#include <vector>

namespace tessel {

// Full path of the running executable (host path).
std::string ExecutablePath();

// Command-line arguments after the program name, as given to main(). The
// front ends record them once at start-up.
void SetCommandLineArguments(int argc, const char* const* argv);
void SetCommandLineArguments(std::vector<std::string> args);
const std::vector<std::string>& CommandLineArguments();

struct VersionInfo {
  std::string fileVersion;   // "1.0.0.0"
  std::string productName;   // "Tessel"
  std::string internalName;  // "Tessel"
  unsigned fileFlags = 0;    // non-zero marks a debug or pre-release build
};

VersionInfo ExecutableVersion();

}  // namespace tessel
