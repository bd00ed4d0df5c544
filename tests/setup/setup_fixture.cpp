#include "tests/setup/setup_fixture.h"

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/path_split.h"
#include "support/FileTool.h"

namespace tessel::test {

void TSetupTest::SetUp() {
  oldRoot_ = DriveRoot();
  SetDriveRoot(drive.Path());
}

void TSetupTest::TearDown() { SetDriveRoot(oldRoot_); }

void TSetupTest::WriteIni(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  ForceDirectoryPath(ExtractFileDir(path));
  WriteFileBytes(path, text);
}

std::vector<std::string> TSetupTest::FileLines(const std::string& path) {
  return ReadTextLines(path);
}

std::vector<std::string> TSetupTest::SectionLines(const std::string& path,
                                                  const std::string& section) {
  std::vector<std::string> result;
  bool inside = false;
  for (const std::string& line : ReadTextLines(path)) {
    if (!line.empty() && line[0] == '[') {
      inside = line == "[" + section + "]";
      continue;
    }
    if (inside && !line.empty()) result.push_back(line);
  }
  return result;
}

void TSetupTest::MakeDirectory(const std::string& path) {
  ASSERT_TRUE(ForceDirectoryPath(path)) << path;
}

}  // namespace tessel::test
