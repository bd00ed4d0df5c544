#include "tests/support/text_files.h"

#include "platform/file_system.h"
#include "platform/path_split.h"
#include "support/FileTool.h"

namespace tessel::test {

void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  ForceDirectoryPath(ExtractFileDir(path));
  WriteFileBytes(path, text);
}

}  // namespace tessel::test
