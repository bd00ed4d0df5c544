#include "tests/app/app_fixture.h"

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/path_split.h"
#include "settings/MyIni.h"
#include "support/FileTool.h"
#include "support/user_interface.h"
#include "tests/support/text_files.h"

namespace tessel::test {

void TAppTest::SetUp() {
  oldRoot_ = DriveRoot();
  SetDriveRoot(drive.Path());
  SetMainWindow(&ui);
  WriteLines(kBaseIni, {"[vleGeneral]", "SDKDIR=@C:\\SDK@", "TEMPLATEDIR=@$(SDKDIR)@",
                        "HEADERDIR=@$(SDKDIR)@", "DEBUGDIR=@$(SDKDIR)@", "OBJECTDIR=@$(SDKDIR)@",
                        "BINDIR=@$(SDKDIR)\\BIN@", "LIBDIR=@$(SDKDIR)\\LIB@",
                        "PROJECTDIR=@$(SDKDIR)\\Projects@", "WORKDIR=@$(SDKDIR)@",
                        "[vleRequiredFiles]", "OPT_000=@$(BINDIR)\\fx9860G_library.lib@",
                        "[vleRequiredDirectories]", "OPT_000=@$(LIBDIR)@"});
  WriteGrooming({"-form=library -delete="});
  WriteLines(kProjectIni, {"[vleRequiredProjectFiles]", "OPT_000=@$(PROJECTDIR)\\P\\P.CPP@",
                           "[vleRequiredProjectDirectories]", "OPT_000=@$(PROJECTDIR)\\P@"});
  for (const char* suffix : {".CPP", "_SELECTED.BMP", "_UNSELECTED.BMP"}) {
    WriteLines(std::string("C:\\SDK\\Projects\\P\\P") + suffix, {suffix});
  }
  WriteLines("C:\\SDK\\BIN\\fx9860G_library.lib", {"library"});
  ForceDirectoryPath("C:\\SDK\\LIB");
  WriteScript({"A=1"});
  NewCore();
}

void TAppTest::TearDown() {
  core.reset();
  SetMainWindow(nullptr);
  SetDriveRoot(oldRoot_);
}

void TAppTest::WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  test::WriteLines(path, lines);
}

void TAppTest::WriteGrooming(const std::vector<std::string>& values) {
  TQuotedINI ini(kBaseIni);
  std::vector<std::pair<std::string, std::string>> entries;
  for (size_t i = 0; i < values.size(); ++i) {
    entries.emplace_back("OPT_" + std::to_string(100 + i).substr(1), values[i]);
  }
  ini.RewriteSection("vlefx9860LibGrooming", entries);
}

void TAppTest::NewCore(const std::string& fileVersion) {
  TMainCoreConfig config;
  config.programSettingsFile = kProgramIni;
  config.programDirectory = "C:\\SDK\\BIN";
  config.fileVersion = fileVersion;
  config.engineLogPath = drive.File("ENGINE.LOG");
  core = std::make_unique<TMainCore>(ui, config);
}

void TAppTest::WriteScript(const std::vector<std::string>& lines) {
  WriteLines("C:\\SDK\\Projects\\P.PRJ", lines);
}

std::string TAppTest::ProgramValue(const std::string& key) {
  return TQuotedINI(kProgramIni).ReadString("PROGRAM", key, "<missing>");
}

std::vector<std::string> TAppTest::BoxTexts() const {
  std::vector<std::string> texts;
  for (const auto& box : ui.boxes) texts.push_back(box.kind + ": " + box.text);
  return texts;
}

}  // namespace tessel::test
