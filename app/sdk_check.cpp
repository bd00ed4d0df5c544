#include "app/sdk_check.h"

#include "platform/file_system.h"
#include "platform/path_split.h"
#include "settings/MyIni.h"

namespace tessel {

namespace {

constexpr const char* kBreak = "\r\n";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string StartDirectoryBase(const std::string& programDirectory) {
  std::string dir = programDirectory;
  if (dir.empty() || !IsPathDelimiter(dir.back())) dir += '\\';
  // The empty field after the trailing separator, then the directory's name.
  return DropLastField(DropLastField(dir));
}

std::string BaseSettingsPathOf(const std::string& sdkDirectory) {
  return sdkDirectory + "\\BaseOptions\\BaseOptions.ini";
}

std::string CheckSdkBaseDirectory(const std::string& programDirectory, TUserInterface& ui) {
  const std::string base = StartDirectoryBase(programDirectory);
  const std::string startIni = BaseSettingsPathOf(base);
  if (!FileExists(startIni)) return startIni;

  TQuotedINI ini(startIni);
  TParamlist general;
  ini.ReadSectionValues("vleGeneral", general);
  const std::string configured = general.ExpandedValue("SDKDIR", true);

  std::string baseIniFile = startIni;
  bool invalid = false;
  bool yes = false;
  if (DirectoryExists(configured)) {
    baseIniFile = BaseSettingsPathOf(configured);
    if (configured != base) {
      invalid = true;
      yes = ui.AskYesNo(std::string("The configured SDK-base directory") + kBreak +
                        Quoted(configured) + kBreak +
                        " does not comply to the start directory's base:" + kBreak + Quoted(base) +
                        kBreak + "Correct the SDK-base directory?");
    }
  } else {
    invalid = true;
    yes = ui.AskYesNo(std::string("The configured SDK-base directory") + kBreak +
                      Quoted(configured) + kBreak + " is missing." + kBreak +
                      "Change the SDK-base directory to the start-directory's base" + kBreak +
                      "\"" + base + "\"?");
  }
  if (yes) {
    ini.WriteString("vleGeneral", "SDKDIR", base);
    baseIniFile = startIni;
    invalid = false;
  }
  if (invalid) {
    ui.ShowWarning(std::string("The SDK-base directory is still invalid!") + kBreak +
                   "The SDK won't work!");
  }
  return baseIniFile;
}

}  // namespace tessel
