#include "platform/profile.h"

#include <algorithm>
#include <unordered_map>

#include "platform/case_fold.h"
#include "platform/file_system.h"

namespace tessel {

namespace {

// Profile names compare as the system's code page folds them.
bool SameName(const std::string& a, const std::string& b) { return EqualFoldCodePage(a, b); }

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(const std::string& s) {
  size_t begin = 0, end = s.size();
  while (begin < end && IsSpace(s[begin])) ++begin;
  while (end > begin && IsSpace(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

enum class LineKind { Other, Section, Key };

// One line of the file with its own line end, so that a rewrite leaves every
// line it does not touch byte for byte as it was.
struct ProfileLine {
  std::string text;
  std::string ending;  // "\r\n", "\n" or "" for a last line without one
  LineKind kind = LineKind::Other;
  std::string name;  // section or key name, trimmed
};

struct ProfileFile {
  std::vector<ProfileLine> lines;

  // Index of the first header of the section; -1 when none.
  long FindSection(const std::string& section) const {
    const std::string wanted = TrimBlanks(section);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].kind == LineKind::Section && SameName(lines[i].name, wanted)) {
        return static_cast<long>(i);
      }
    }
    return -1;
  }

  // End (exclusive) of the section whose header is at `header`.
  size_t SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != LineKind::Section) ++i;
    return i;
  }

  long FindKey(size_t header, const std::string& key) const {
    const std::string wanted = TrimBlanks(key);
    const size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
      if (lines[i].kind == LineKind::Key && SameName(lines[i].name, wanted)) {
        return static_cast<long>(i);
      }
    }
    return -1;
  }
};

ProfileLine ClassifyLine(std::string text, std::string ending) {
  ProfileLine line;
  line.text = std::move(text);
  line.ending = std::move(ending);
  const std::string trimmed = TrimBlanks(line.text);
  if (trimmed.empty() || trimmed[0] == ';') return line;
  if (trimmed[0] == '[') {
    const size_t close = trimmed.find(']');
    line.kind = LineKind::Section;
    line.name =
        TrimBlanks(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return line;
  }
  const size_t eq = trimmed.find('=');
  if (eq == std::string::npos) return line;
  line.kind = LineKind::Key;
  line.name = TrimBlanks(trimmed.substr(0, eq));
  return line;
}

ProfileFile Parse(const std::string& bytes) {
  ProfileFile file;
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t lf = bytes.find('\n', pos);
    if (lf == std::string::npos) {
      file.lines.push_back(ClassifyLine(bytes.substr(pos), ""));
      break;
    }
    size_t end = lf;
    if (end > pos && bytes[end - 1] == '\r') --end;
    file.lines.push_back(
        ClassifyLine(bytes.substr(pos, end - pos), bytes.substr(end, lf + 1 - end)));
    pos = lf + 1;
  }
  return file;
}

// A missing or unreadable file reads as an empty one.
ProfileFile Load(const std::string& path) {
  if (!FileExists(path)) return ProfileFile();
  try {
    return Parse(ReadFileBytes(path));
  } catch (const EFileError&) {
    return ProfileFile();
  }
}

// Before a rewrite an existing file must be read whole, or its other
// settings would be lost: a read failure raises instead.
ProfileFile LoadForUpdate(const std::string& path) {
  if (!FileExists(path)) return ProfileFile();
  return Parse(ReadFileBytes(path));
}

void Save(const std::string& path, const ProfileFile& file) {
  std::string bytes;
  for (const ProfileLine& line : file.lines) {
    bytes += line.text;
    bytes += line.ending;
  }
  WriteFileBytes(path, bytes);
}

// The value as the profile functions hand it out: without surrounding blanks
// and without one pair of enclosing quotes (single or double). That is why
// the settings files wrap their values in "@".
std::string KeyValue(const ProfileLine& line) {
  const size_t eq = line.text.find('=');
  std::string value = TrimBlanks(line.text.substr(eq + 1));
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

std::string FoldName(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = FoldCodePage(c);
  return folded;
}

// Inserts a new line at `index`; a line before it that lacked a line end
// gets one first.
void InsertLine(ProfileFile& file, size_t index, const std::string& text) {
  if (index > 0 && file.lines[index - 1].ending.empty()) file.lines[index - 1].ending = "\r\n";
  file.lines.insert(file.lines.begin() + static_cast<long>(index), ClassifyLine(text, "\r\n"));
}

}  // namespace

std::optional<std::string> ProfileRead(const std::string& file, const std::string& section,
                                       const std::string& key) {
  const ProfileFile profile = Load(file);
  const long header = profile.FindSection(section);
  if (header < 0) return std::nullopt;
  const long line = profile.FindKey(static_cast<size_t>(header), key);
  if (line < 0) return std::nullopt;
  return KeyValue(profile.lines[static_cast<size_t>(line)]);
}

std::vector<std::pair<std::string, std::string>> ProfileReadSection(const std::string& file,
                                                                    const std::string& section) {
  std::vector<std::pair<std::string, std::string>> result;
  const ProfileFile profile = Load(file);
  const long header = profile.FindSection(section);
  if (header < 0) return result;
  const size_t end = profile.SectionEnd(static_cast<size_t>(header));
  // A repeated key reads the value of its first line, as a lookup by name would.
  std::unordered_map<std::string, size_t> firstLine;
  for (size_t i = static_cast<size_t>(header) + 1; i < end; ++i) {
    const ProfileLine& line = profile.lines[i];
    if (line.kind != LineKind::Key) continue;
    const size_t first = firstLine.try_emplace(FoldName(line.name), i).first->second;
    result.emplace_back(line.name, KeyValue(profile.lines[first]));
  }
  return result;
}

void ProfileUpdate(const std::string& file, const std::string& section,
                   const std::vector<TProfileEdit>& edits) {
  if (edits.empty()) return;
  ProfileFile profile = LoadForUpdate(file);
  std::vector<ProfileLine>& lines = profile.lines;

  // Edits add and remove lines only below the header, so the header is found
  // once and the section's end moves with each line added or removed.
  const long first = profile.FindSection(section);
  bool found = first >= 0;
  size_t header = found ? static_cast<size_t>(first) : 0;
  size_t end = found ? profile.SectionEnd(header) : 0;
  bool changed = false;

  // Key lines per name: an absent key needs no search, and a key with one
  // line is searched from the last line found, since edits tend to follow
  // the section's order.
  std::unordered_map<std::string, int> keyLines;
  for (size_t i = header + 1; found && i < end; ++i) {
    if (lines[i].kind == LineKind::Key) ++keyLines[FoldName(lines[i].name)];
  }
  size_t hint = header + 1;
  // The first key line of that name in [from, to), or `to`.
  auto find = [&lines](size_t from, size_t to, const std::string& key) {
    while (from < to && !(lines[from].kind == LineKind::Key && SameName(lines[from].name, key)))
      ++from;
    return from;
  };

  for (const TProfileEdit& edit : edits) {
    const std::string key = TrimBlanks(edit.key);
    const int count = found ? keyLines[FoldName(key)] : 0;
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
      lines.erase(lines.begin() + static_cast<long>(line));
      --keyLines[FoldName(key)];
      --end;
      changed = true;
      continue;
    }
    changed = true;
    if (!found) {
      header = lines.size();
      InsertLine(profile, header, "[" + section + "]");
      InsertLine(profile, header + 1, edit.key + "=" + *edit.value);
      found = true;
      end = profile.SectionEnd(header);
      if (lines[header + 1].kind == LineKind::Key) ++keyLines[FoldName(lines[header + 1].name)];
    } else if (hasKey) {
      // The stored key name stays; blanks around "=" do not.
      lines[line].text = lines[line].name + "=" + *edit.value;
    } else {
      // After the last line of the section that is not blank, so blank lines
      // in front of the next section stay there.
      size_t at = end;
      while (at > header + 1 && TrimBlanks(lines[at - 1].text).empty()) --at;
      InsertLine(profile, at, edit.key + "=" + *edit.value);
      if (lines[at].kind == LineKind::Key) ++keyLines[FoldName(lines[at].name)];
      // A key that reads as a section header ends the section there.
      end = lines[at].kind == LineKind::Section ? at : end + 1;
      hint = at;
    }
  }
  if (changed) Save(file, profile);
}

void ProfileWrite(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value) {
  ProfileUpdate(file, section, {{key, value}});
}

void ProfileDeleteKey(const std::string& file, const std::string& section, const std::string& key) {
  ProfileUpdate(file, section, {{key, std::nullopt}});
}

void ProfileEraseSection(const std::string& file, const std::string& section) {
  if (!FileExists(file)) return;
  ProfileFile profile = LoadForUpdate(file);
  const long header = profile.FindSection(section);
  if (header < 0) return;
  const size_t end = profile.SectionEnd(static_cast<size_t>(header));
  profile.lines.erase(profile.lines.begin() + header,
                      profile.lines.begin() + static_cast<long>(end));
  Save(file, profile);
}

std::vector<std::string> ProfileKeys(const std::string& file, const std::string& section) {
  std::vector<std::string> keys;
  const ProfileFile profile = Load(file);
  const long header = profile.FindSection(section);
  if (header < 0) return keys;
  const size_t end = profile.SectionEnd(static_cast<size_t>(header));
  for (size_t i = static_cast<size_t>(header) + 1; i < end; ++i) {
    if (profile.lines[i].kind == LineKind::Key) keys.push_back(profile.lines[i].name);
  }
  return keys;
}

std::vector<std::string> ProfileSections(const std::string& file) {
  std::vector<std::string> sections;
  const ProfileFile profile = Load(file);
  for (const ProfileLine& line : profile.lines) {
    if (line.kind == LineKind::Section) sections.push_back(line.name);
  }
  return sections;
}

}  // namespace tessel
