#include "setup/script_lines.h"

namespace tessel {

void AddSectionLines(TScriptLines& lines, const TQuotedINI& ini, const std::string& section,
                     const std::string& keyword) {
  TParamlist entries;
  ini.ReadSectionValues(section, entries);
  for (size_t i = 0; i < entries.Count(); ++i) lines.push_back(keyword + "=" + entries.ValueAt(i));
}

TScriptLines OptionScriptLines(const TQuotedINI& base, const std::string& section,
                               const std::string& keyword) {
  TScriptLines lines;
  AddSectionLines(lines, base, section, keyword);
  return lines;
}

}  // namespace tessel
