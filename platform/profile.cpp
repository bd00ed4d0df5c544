#include "platform/profile.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "platform/atomic_file.h"
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

  // Headers of every copy of the section, in file order. A file may hold a
  // section more than once; its copies read as one section.
  std::vector<size_t> SectionCopies(const std::string& section) const {
    const std::string wanted = TrimBlanks(section);
    std::vector<size_t> headers;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].kind == LineKind::Section && SameName(lines[i].name, wanted)) {
        headers.push_back(i);
      }
    }
    return headers;
  }

  // Key lines of every copy of the section, in file order.
  std::vector<size_t> SectionKeyLines(const std::string& section) const {
    std::vector<size_t> keys;
    for (size_t header : SectionCopies(section)) {
      const size_t end = SectionEnd(header);
      for (size_t i = Body(header); i < end; ++i) {
        if (lines[i].kind == LineKind::Key) keys.push_back(i);
      }
    }
    return keys;
  }

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

  // First line below a section's header.
  static size_t Body(size_t header) { return header + 1; }

  // End (exclusive) of the section whose header is at `header`.
  size_t SectionEnd(size_t header) const {
    size_t i = Body(header);
    while (i < lines.size() && lines[i].kind != LineKind::Section) ++i;
    return i;
  }

  // `end` moved back over the blank lines that close the section, so that
  // they stay in front of the next one.
  size_t BehindLastFilled(size_t header, size_t end) const {
    while (end > Body(header) && TrimBlanks(lines[end - 1].text).empty()) --end;
    return end;
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
// settings would be lost: a read failure raises instead. The file is read
// without asking first whether it exists, as a look-up that fails for a
// moment would let the rewrite start from an empty file.
ProfileFile LoadForUpdate(const std::string& path) {
  try {
    return Parse(ReadFileBytes(path));
  } catch (const EFileError&) {
    if (!PathExists(path)) return ProfileFile();
    throw;
  }
}

void Save(const std::string& path, const ProfileFile& file) {
  std::string bytes;
  for (const ProfileLine& line : file.lines) {
    bytes += line.text;
    bytes += line.ending;
  }
  WriteFileAtomic(path, bytes);
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

namespace {

std::optional<std::string> ReadIn(const ProfileFile& profile, const std::string& section,
                                  const std::string& key) {
  const std::string wanted = TrimBlanks(key);
  for (size_t line : profile.SectionKeyLines(section)) {
    if (SameName(profile.lines[line].name, wanted)) return KeyValue(profile.lines[line]);
  }
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> ReadSectionIn(const ProfileFile& profile,
                                                               const std::string& section) {
  std::vector<std::pair<std::string, std::string>> result;
  // A repeated key reads the value of its first line, as a lookup by name would.
  std::unordered_map<std::string, size_t> firstLine;
  for (size_t i : profile.SectionKeyLines(section)) {
    const ProfileLine& line = profile.lines[i];
    const size_t first = firstLine.try_emplace(FoldName(line.name), i).first->second;
    result.emplace_back(line.name, KeyValue(profile.lines[first]));
  }
  return result;
}

std::vector<std::string> KeysIn(const ProfileFile& profile, const std::string& section) {
  std::vector<std::string> keys;
  for (size_t i : profile.SectionKeyLines(section)) keys.push_back(profile.lines[i].name);
  return keys;
}

// Each section name once, in the order of its first header.
std::vector<std::string> SectionsIn(const ProfileFile& profile) {
  std::vector<std::string> sections;
  std::unordered_set<std::string> seen;
  for (const ProfileLine& line : profile.lines) {
    if (line.kind == LineKind::Section && seen.insert(FoldName(line.name)).second) {
      sections.push_back(line.name);
    }
  }
  return sections;
}

// Moves the lines of later copies of the section behind the last line of
// the first copy that is not blank, so a change writes the section once and
// nothing stored in a later copy is lost or comes back unseen.
bool MergeCopies(ProfileFile& profile, const std::string& section) {
  const std::vector<size_t> headers = profile.SectionCopies(section);
  if (headers.size() < 2) return false;
  std::vector<ProfileLine> moved;
  // From the last copy backwards, so earlier indices stay valid.
  std::vector<std::vector<ProfileLine>> bodies(headers.size());
  for (size_t c = headers.size(); c-- > 1;) {
    const size_t header = headers[c];
    const size_t last = profile.BehindLastFilled(header, profile.SectionEnd(header));
    bodies[c].assign(profile.lines.begin() + static_cast<long>(ProfileFile::Body(header)),
                     profile.lines.begin() + static_cast<long>(last));
    // Blank lines behind a copy keep the next section apart; the header and
    // the copy's lines go.
    profile.lines.erase(profile.lines.begin() + static_cast<long>(header),
                        profile.lines.begin() + static_cast<long>(last));
  }
  for (size_t c = 1; c < bodies.size(); ++c) {
    for (ProfileLine& line : bodies[c]) moved.push_back(std::move(line));
  }
  const size_t first = headers[0];
  const size_t at = profile.BehindLastFilled(first, profile.SectionEnd(first));
  if (!moved.empty()) {
    // The line before `at` has its line end: a later copy's header followed it.
    if (moved.back().ending.empty()) moved.back().ending = "\r\n";
    profile.lines.insert(profile.lines.begin() + static_cast<long>(at),
                         std::make_move_iterator(moved.begin()),
                         std::make_move_iterator(moved.end()));
  }
  return true;
}

bool EraseIn(ProfileFile& profile, const std::string& section) {
  const std::vector<size_t> headers = profile.SectionCopies(section);
  for (size_t c = headers.size(); c-- > 0;) {
    const size_t end = profile.SectionEnd(headers[c]);
    profile.lines.erase(profile.lines.begin() + static_cast<long>(headers[c]),
                        profile.lines.begin() + static_cast<long>(end));
  }
  return !headers.empty();
}

}  // namespace

std::optional<std::string> ProfileRead(const std::string& file, const std::string& section,
                                       const std::string& key) {
  return ReadIn(Load(file), section, key);
}

std::vector<std::pair<std::string, std::string>> ProfileReadSection(const std::string& file,
                                                                    const std::string& section) {
  return ReadSectionIn(Load(file), section);
}

namespace {

bool UpdateIn(ProfileFile& profile, const std::string& section,
              const std::vector<TProfileEdit>& edits) {
  if (edits.empty()) return false;
  std::vector<ProfileLine>& lines = profile.lines;

  // Edits add and remove lines only below the header, so the header is found
  // once and the section's end moves with each line added or removed.
  const long first = profile.FindSection(section);
  bool found = first >= 0;
  size_t header = found ? static_cast<size_t>(first) : 0;
  size_t end = found ? profile.SectionEnd(header) : 0;
  bool changed = MergeCopies(profile, section);
  if (changed) end = profile.SectionEnd(header);

  // Key lines per name: an absent key needs no search, and a key with one
  // line is searched from the last line found, since edits tend to follow
  // the section's order.
  std::unordered_map<std::string, int> keyLines;
  for (size_t i = ProfileFile::Body(header); found && i < end; ++i) {
    if (lines[i].kind == LineKind::Key) ++keyLines[FoldName(lines[i].name)];
  }
  size_t hint = ProfileFile::Body(header);
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
      hint = std::clamp(hint, ProfileFile::Body(header), end);
      line = find(hint, end, key);
      if (line == end) {
        const size_t before = find(ProfileFile::Body(header), hint, key);
        if (before < hint) line = before;
      }
    } else if (count > 1) {
      line = find(ProfileFile::Body(header), end, key);
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
      const size_t at = profile.BehindLastFilled(header, end);
      InsertLine(profile, at, edit.key + "=" + *edit.value);
      if (lines[at].kind == LineKind::Key) ++keyLines[FoldName(lines[at].name)];
      // A key that reads as a section header ends the section there.
      end = lines[at].kind == LineKind::Section ? at : end + 1;
      hint = at;
    }
  }
  return changed;
}

}  // namespace

void ProfileUpdate(const std::string& file, const std::string& section,
                   const std::vector<TProfileEdit>& edits) {
  if (edits.empty()) return;
  ProfileFile profile = LoadForUpdate(file);
  if (UpdateIn(profile, section, edits)) Save(file, profile);
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
  if (EraseIn(profile, section)) Save(file, profile);
}

std::vector<std::string> ProfileKeys(const std::string& file, const std::string& section) {
  return KeysIn(Load(file), section);
}

std::vector<std::string> ProfileSections(const std::string& file) { return SectionsIn(Load(file)); }

struct TProfileBatch::TState {
  ProfileFile profile;
  bool changed = false;
};

TProfileBatch::TProfileBatch(std::string file)
    : file_(std::move(file)), state_(std::make_unique<TState>()) {
  state_->profile = LoadForUpdate(file_);
}

TProfileBatch::~TProfileBatch() = default;

std::optional<std::string> TProfileBatch::Read(const std::string& section,
                                               const std::string& key) const {
  return ReadIn(state_->profile, section, key);
}

std::vector<std::pair<std::string, std::string>> TProfileBatch::ReadSection(
    const std::string& section) const {
  return ReadSectionIn(state_->profile, section);
}

std::vector<std::string> TProfileBatch::Keys(const std::string& section) const {
  return KeysIn(state_->profile, section);
}

std::vector<std::string> TProfileBatch::Sections() const { return SectionsIn(state_->profile); }

void TProfileBatch::Update(const std::string& section, const std::vector<TProfileEdit>& edits) {
  if (UpdateIn(state_->profile, section, edits)) state_->changed = true;
}

void TProfileBatch::EraseSection(const std::string& section) {
  if (EraseIn(state_->profile, section)) state_->changed = true;
}

void TProfileBatch::Commit() {
  if (!state_->changed) return;
  Save(file_, state_->profile);
  state_->changed = false;
}

}  // namespace tessel
