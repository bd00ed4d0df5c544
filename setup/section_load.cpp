#include "setup/section_load.h"

#include <algorithm>

#include "setup/general_setting.h"
#include "support/text.h"

namespace tessel {

namespace {

struct TLine {
  std::string key;
  std::string value;
  std::string sortText;  // key=value upper-cased
};

std::vector<TLine> ReadLines(const TQuotedINI& ini, const std::string& section) {
  TParamlist list;
  ini.ReadSectionValues(section, list);
  std::vector<TLine> lines;
  lines.reserve(list.Count());
  for (size_t i = 0; i < list.Count(); ++i) {
    lines.push_back({list.NameAt(i), list.ValueAt(i), AnsiUpperCase(list.Line(i))});
  }
  return lines;
}

// Character by character on the byte values.
bool SortTextLess(const TLine& a, const TLine& b) {
  return std::lexicographical_compare(
      a.sortText.begin(), a.sortText.end(), b.sortText.begin(), b.sortText.end(),
      [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
}

}  // namespace

bool IsHexKey(const std::string& key) {
  // Hexadecimal texts cover the whole 32-bit pattern, so keys from 80000000
  // on read as negative numbers and are no hexadecimal keys.
  return StrToIntDef("$" + key, -1) >= 0;
}

std::string ListKey(const std::string& prefix, size_t position) {
  return prefix + "_" + IntToHex(position, 3);
}

void LoadGeneral(const TQuotedINI& ini, TEditorRows& rows) {
  rows.Clear();
  TParamlist section;
  ini.ReadSectionValues("vleGeneral", section);
  for (const TGeneralSetting& setting : GeneralSettings) {
    std::string value = section.ValueOf(setting.Key);
    rows.Add(setting.Key, IsBlank(value) ? " " : value);
  }
}

void LoadKeyedList(const TQuotedINI& ini, const std::string& section, TEditorRows& rows) {
  rows.Clear();
  std::vector<TLine> lines = ReadLines(ini, section);
  std::stable_sort(lines.begin(), lines.end(), [](const TLine& a, const TLine& b) {
    bool hexA = IsHexKey(a.key);
    bool hexB = IsHexKey(b.key);
    if (hexA != hexB) return hexB;
    return SortTextLess(a, b);
  });
  for (const TLine& line : lines) {
    if (!IsBlank(line.value)) rows.Add(line.key, line.value);
  }
}

void LoadBindOptions(const TQuotedINI& ini, const std::string& section, TEditorRows& rows) {
  rows.Clear();
  TParamlist list;
  ini.ReadSectionValues(section, list);
  bool hasVersion = false;
  for (size_t i = 0; i < list.Count(); ++i) {
    std::string key = list.NameAt(i);
    std::string value = list.ValueAt(i);
    if (SameTextAnsi(key, "Version") && !hasVersion) {
      // A blank version takes the default in its own row: a second
      // "Version" row would hide the default behind "*empty*".
      hasVersion = true;
      if (IsBlank(value)) value = DefaultVersion;
    }
    rows.Add(key, IsBlank(value) ? EmptyBindValue : value);
  }
  if (!hasVersion) rows.Add("Version", DefaultVersion);
}

void LoadListSection(const TQuotedINI& ini, const std::string& section, const std::string& prefix,
                     TEditorRows& rows) {
  rows.Clear();
  std::vector<TLine> lines = ReadLines(ini, section);
  std::stable_sort(lines.begin(), lines.end(), SortTextLess);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!IsBlank(lines[i].value)) rows.Add(ListKey(prefix, i), lines[i].value);
  }
}

}  // namespace tessel
