#include "setup/section_writer.h"

#include "platform/file_system.h"

namespace tessel {

void RewriteSection(TQuotedINI& ini, const std::string& section,
                    const std::vector<std::pair<std::string, std::string>>& entries) {
  ini.EraseSection(section);
  if (entries.empty()) return;
  if (ini.SectionExists(section)) {
    // A second section of that name in a hand-edited file takes the writes
    // in place, as single writes would.
    for (const auto& [key, value] : entries) ini.WriteString(section, key, value);
    return;
  }
  // A new section goes to the end of the file, each entry after the last.
  std::string text;
  if (FileExists(ini.FileName())) {
    const std::string bytes = ReadFileBytes(ini.FileName());
    if (!bytes.empty() && bytes.back() != '\n') text = "\r\n";
  }
  text += "[" + section + "]\r\n";
  for (const auto& [key, value] : entries) text += key + "=@" + value + "@\r\n";
  AppendFileBytes(ini.FileName(), text);
}

}  // namespace tessel
