#include "setup/script_lines.h"

namespace tessel {

TScriptLines OptionScriptLines(const TQuotedINI& base, const std::string& section,
                               const std::string& keyword) {
  TParamlist entries;
  base.ReadSectionValues(section, entries);
  TScriptLines lines;
  for (size_t i = 0; i < entries.Count(); ++i) lines.push_back(keyword + "=" + entries.ValueAt(i));
  return lines;
}

}  // namespace tessel
