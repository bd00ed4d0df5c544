#pragma once
// The program settings file (path: application environment key IF): section
// "PROGRAM" with the last project, the program version of the last
// successful build and the last bitmap directory. Read and written through
// TQuotedINI, one access per call; nothing is cached.

#include <string>

#include "settings/MyIni.h"

namespace tessel {

inline constexpr const char* kProgramSection = "PROGRAM";

class TProgramSettings {
 public:
  explicit TProgramSettings(std::string path) : ini_(std::move(path)) {}
  const std::string& FileName() const { return ini_.FileName(); }

  std::string LastProject() const { return ini_.ReadString(kProgramSection, "LastProject", ""); }
  void SetLastProject(const std::string& path) {
    ini_.WriteString(kProgramSection, "LastProject", path);
  }
  std::string FileVersion() const { return ini_.ReadString(kProgramSection, "FileVersion", ""); }
  void SetFileVersion(const std::string& version) {
    ini_.WriteString(kProgramSection, "FileVersion", version);
  }
  std::string BitmapDir(const std::string& def) const {
    return ini_.ReadString(kProgramSection, "BitmapDir", def);
  }
  void SetBitmapDir(const std::string& dir) { ini_.WriteString(kProgramSection, "BitmapDir", dir); }

 private:
  TQuotedINI ini_;
};

}  // namespace tessel
