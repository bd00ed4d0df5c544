#include "setup/section_writer.h"

#include <algorithm>
#include <unordered_map>

#include "platform/file_system.h"
#include "support/text.h"

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

namespace {

// The file as the profile functions see it: lines with their own line ends,
// so that lines no edit touches stay byte for byte.
struct TIniLine {
  std::string text;
  std::string ending;  // "\r\n", "\n", or "" for a last line without one
  bool isSection = false;
  bool isKey = false;
  std::string name;  // section or key name, without surrounding blanks
};

std::string TrimBlanks(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return text.substr(begin, end - begin);
}

TIniLine MakeLine(std::string text, std::string ending) {
  TIniLine line{std::move(text), std::move(ending)};
  const std::string trimmed = TrimBlanks(line.text);
  if (trimmed.empty() || trimmed[0] == ';') return line;
  if (trimmed[0] == '[') {
    const size_t close = trimmed.find(']');
    line.isSection = true;
    line.name = TrimBlanks(trimmed.substr(1, close == std::string::npos ? close : close - 1));
  } else if (const size_t equals = trimmed.find('='); equals != std::string::npos) {
    line.isKey = true;
    line.name = TrimBlanks(trimmed.substr(0, equals));
  }
  return line;
}

std::vector<TIniLine> SplitLines(const std::string& bytes) {
  std::vector<TIniLine> lines;
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t lf = bytes.find('\n', pos);
    if (lf == std::string::npos) {
      lines.push_back(MakeLine(bytes.substr(pos), ""));
      break;
    }
    const size_t end = lf > pos && bytes[lf - 1] == '\r' ? lf - 1 : lf;
    lines.push_back(MakeLine(bytes.substr(pos, end - pos), bytes.substr(end, lf + 1 - end)));
    pos = lf + 1;
  }
  return lines;
}

// A line before the new one that lacked a line end gets one first.
void InsertLine(std::vector<TIniLine>& lines, size_t index, const std::string& text) {
  if (index > 0 && lines[index - 1].ending.empty()) lines[index - 1].ending = "\r\n";
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), MakeLine(text, "\r\n"));
}

// End (exclusive) of the section whose header is at `header`.
size_t SectionEnd(const std::vector<TIniLine>& lines, size_t header) {
  size_t end = header + 1;
  while (end < lines.size() && !lines[end].isSection) ++end;
  return end;
}

}  // namespace

void UpdateSection(TQuotedINI& ini, const std::string& section,
                   const std::vector<TSectionEdit>& edits) {
  if (edits.empty()) return;
  const std::string& file = ini.FileName();
  std::vector<TIniLine> lines;
  if (FileExists(file)) lines = SplitLines(ReadFileBytes(file));

  // Edits add and remove lines only below the header, so the header is found
  // once and the section's end moves with each line added or removed.
  const std::string wanted = TrimBlanks(section);
  size_t header = 0;
  while (header < lines.size() &&
         !(lines[header].isSection && SameTextAnsi(lines[header].name, wanted)))
    ++header;
  bool found = header < lines.size();
  size_t end = found ? SectionEnd(lines, header) : 0;
  bool changed = false;

  // Key lines per name: an absent key needs no search, and a key with one
  // line is searched from the last line found, since edits tend to follow
  // the section's order.
  std::unordered_map<std::string, int> keyLines;
  for (size_t i = header + 1; found && i < end; ++i) {
    if (lines[i].isKey) ++keyLines[AnsiUpperCase(lines[i].name)];
  }
  size_t hint = header + 1;
  // The first key line of that name in [from, to), or `to`.
  auto find = [&lines](size_t from, size_t to, const std::string& key) {
    while (from < to && !(lines[from].isKey && SameTextAnsi(lines[from].name, key))) ++from;
    return from;
  };

  for (const TSectionEdit& edit : edits) {
    const std::string key = TrimBlanks(edit.key);
    const int count = found ? keyLines[AnsiUpperCase(key)] : 0;
    size_t line = end;
    if (count == 1) {
      hint = std::clamp(hint, header + 1, end);
      line = find(hint, end, key);
      if (line == end) {
        const size_t before = find(header + 1, hint, key);
        if (before < hint) line = before;
      }
    } else if (count > 1) {
      line = find(header + 1, end, key);
    }
    const bool hasKey = line < end;
    hint = line;

    if (!edit.value) {
      if (!hasKey) continue;
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line));
      --keyLines[AnsiUpperCase(key)];
      --end;
      changed = true;
      continue;
    }
    const std::string entry = "=@" + *edit.value + "@";
    changed = true;
    if (!found) {
      header = lines.size();
      InsertLine(lines, header, "[" + section + "]");
      InsertLine(lines, header + 1, edit.key + entry);
      found = true;
      end = SectionEnd(lines, header);
      if (lines[header + 1].isKey) ++keyLines[AnsiUpperCase(lines[header + 1].name)];
    } else if (hasKey) {
      // The stored key name stays; blanks around "=" do not.
      lines[line].text = lines[line].name + entry;
    } else {
      // After the section's last line that is not blank, so blank lines in
      // front of the next section stay there.
      size_t at = end;
      while (at > header + 1 && TrimBlanks(lines[at - 1].text).empty()) --at;
      InsertLine(lines, at, edit.key + entry);
      if (lines[at].isKey) ++keyLines[AnsiUpperCase(lines[at].name)];
      // A key that reads as a section header ends the section there.
      end = lines[at].isSection ? at : end + 1;
      hint = at;
    }
  }
  if (!changed) return;

  std::string bytes;
  for (const TIniLine& line : lines) bytes += line.text + line.ending;
  WriteFileBytes(file, bytes);
}

}  // namespace tessel
