#include "setup/section_save.h"

#include <unordered_map>
#include <unordered_set>

#include "setup/prefix_substitution.h"
#include "setup/section_load.h"
#include "support/text.h"

namespace tessel {

namespace {

std::string Stamped(const std::string& value, int fieldNumber, const std::string& stamp) {
  std::string result;
  for (int n = 1; n < fieldNumber; ++n) result = AppendItem(result, GetField(value, n, ";"), ";");
  return AppendItem(result, stamp, ";");
}

}  // namespace

void SaveGeneral(TQuotedINI& ini, TEditorRows& general) {
  std::vector<std::pair<std::string, std::string>> entries;
  entries.reserve(general.Count());
  for (size_t i = 0; i < general.Count(); ++i) {
    std::string value = general.Row(i).value;
    // Later rows are substituted against the rows already changed.
    if (SubstituteGeneralPrefixes(general, value)) general.SetRowValue(i, value);
    entries.emplace_back(general.Row(i).key, value);
  }
  ini.RewriteSection("vleGeneral", entries);
}

void SaveKeyedList(TQuotedINI& ini, const std::string& section, TEditorRows& rows, int fieldNumber,
                   const std::string& stamp) {
  TParamlist stored;
  ini.ReadSectionValues(section, stored);

  // First row per key, without regard to case, as the editor looks keys up.
  std::unordered_map<std::string, size_t> rowOfKey;
  for (size_t i = 0; i < rows.Count(); ++i) rowOfKey.emplace(AnsiUpperCase(rows.Row(i).key), i);

  std::vector<TSectionEdit> edits;
  std::unordered_set<std::string> storedKeys;  // keys with a value that is not blank
  for (size_t i = 0; i < stored.Count(); ++i) {
    const std::string key = stored.NameAt(i);
    const std::string storedValue = stored.ValueAt(i);
    if (!IsBlank(storedValue)) storedKeys.insert(AnsiUpperCase(key));
    auto found = rowOfKey.find(AnsiUpperCase(key));
    const std::string edited =
        found == rowOfKey.end() ? std::string() : rows.Row(found->second).value;
    bool changed =
        edited != storedValue || (IsHexKey(key) && IsBlank(GetField(edited, fieldNumber, ";")));
    if (!changed) continue;
    if (IsBlank(edited)) {
      edits.push_back({key, std::nullopt});
      continue;
    }
    std::string value = Stamped(edited, fieldNumber, stamp);
    rows.SetRowValue(found->second, value);
    edits.push_back({key, value});
  }

  for (size_t i = 0; i < rows.Count(); ++i) {
    const TRow& row = rows.Row(i);
    if (storedKeys.count(AnsiUpperCase(row.key)) != 0 || IsBlank(row.value)) continue;
    std::string value = Stamped(row.value, fieldNumber, stamp);
    rows.SetRowValue(i, value);
    edits.push_back({rows.Row(i).key, value});
  }
  ini.UpdateSection(section, edits);
}

void SaveListSection(TQuotedINI& ini, const std::string& section, const std::string& prefix,
                     TEditorRows& rows) {
  for (size_t i = rows.Count(); i-- > 0;) {
    if (IsBlank(rows.Row(i).value)) rows.DeleteRow(i);
  }
  std::vector<std::pair<std::string, std::string>> entries;
  entries.reserve(rows.Count());
  for (size_t i = 0; i < rows.Count(); ++i)
    entries.emplace_back(ListKey(prefix, i), rows.Row(i).value);
  ini.RewriteSection(section, entries);
}

void SaveBindOptions(TQuotedINI& ini, const std::string& section, TEditorRows& rows,
                     const TEditorRows& general) {
  ini.EraseSection(section);
  for (size_t i = 0; i < rows.Count(); ++i) {
    std::string value = rows.Row(i).value;
    if (value == EmptyBindValue) value.clear();
    if (!SameTextAnsi(rows.Row(i).key, "Version") && SubstituteGeneralPrefixes(general, value)) {
      rows.SetRowValue(i, value);
    }
    ini.WriteString(section, rows.Row(i).key, value);
  }
}

}  // namespace tessel
