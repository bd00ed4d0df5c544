#include "support/FileTool.h"

#include <vector>

#include "platform/clock.h"
#include "platform/file_identity.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/path_split.h"
#include "support/date_time.h"
#include "support/text.h"

namespace tessel {

namespace {

constexpr size_t kCompareBlock = 10000;

std::string BackupName(const std::string& base, int number) {
  return base + "_" + IntToStr(number) + ".BAK";
}

struct CursorState {
  TCursor current = TCursor::Default;
  std::vector<TCursor> saved;
};

CursorState& Cursors() {
  static CursorState state;
  return state;
}

}  // namespace

bool CopyFiles(const std::string& source, const std::string& target) {
  if (source.find('*') == std::string::npos) return CopyFileTo(source, target, false);
  const std::string fromDir = ExtractFilePath(source);
  const std::string toDir = ExtractFilePath(target);
  bool any = false;
  for (const DirEntry& entry : ListDirectory(source)) {
    if (entry.isDirectory) continue;
    any = true;
    if (!CopyFileTo(fromDir + entry.name, toDir + entry.name, false)) return false;
  }
  return any;
}

TDateTime Backup(const std::string& path, int count, const std::string& format,
                 std::string* failure) {
  if (!FileExists(path)) return 0;
  const TDateTime fileTime = FileDateTime(path);
  if (!(FormatDateTime(format, fileTime) < FormatDateTime(format, Now()))) return fileTime;

  const std::string base = StripExt(path);
  // A backup name that reaches the file itself (a link, another spelling)
  // would delete the file in the rotation; then no backup is made.
  for (int n = 1; n <= count; ++n) {
    if (SameFile(BackupName(base, n), path)) return fileTime;
  }
  auto fail = [&](const std::string& step) {
    if (failure != nullptr) {
      *failure = "Backup of \"" + path + "\" failed: " + step + ": " + PlatformErrorText(errno);
    }
    return fileTime;
  };
  for (int n = count - 1; n >= 1; --n) {
    const std::string older = BackupName(base, n + 1);
    const std::string newer = BackupName(base, n);
    if (!FileExists(newer)) continue;
    if (FileExists(older) && !DeleteFileAt(older)) return fail("cannot delete \"" + older + "\"");
    if (!MoveFileTo(newer, older)) {
      return fail("cannot rename \"" + newer + "\" to \"" + older + "\"");
    }
  }
  // With one backup it is replaced. With more, the rotation has moved it
  // away; one that is there all the same is no reason to delete it, and the
  // copy below refuses to overwrite it.
  const std::string first = BackupName(base, 1);
  if (count == 1 && FileExists(first) && !DeleteFileAt(first)) {
    return fail("cannot delete \"" + first + "\"");
  }
  // A copy that keeps the date gives the same backup as moving the file away
  // and copying it back, but the file never leaves its place.
  if (!CopyFileTo(path, first, true)) return fail("cannot copy it to \"" + first + "\"");
  return 0;
}

std::string CompareFiles(const std::string& a, const std::string& b) {
  std::string missing;
  if (!FileExists(a)) missing = AppendItem(missing, a + " does not exist!", "; ");
  if (!FileExists(b)) missing = AppendItem(missing, b + " does not exist!", "; ");
  if (!missing.empty()) return missing;
  if (FileSizeOf(a) != FileSizeOf(b)) return "Mismatch: Size";

  TFile fileA(a, TFile::Mode::Read);
  TFile fileB(b, TFile::Mode::Read);
  std::vector<char> blockA(kCompareBlock), blockB(kCompareBlock);
  int64_t compared = 0;
  for (;;) {
    const size_t gotA = fileA.Read(blockA.data(), kCompareBlock);
    const size_t gotB = fileB.Read(blockB.data(), kCompareBlock);
    if (gotA == 0) break;
    // The sizes matched; these only happen when a file changes meanwhile.
    if (gotB == 0) return "Unexpected eof after reading " + IntToStr(compared) + " bytes!";
    if (gotA != gotB) return "Size mismatch while reading!";
    for (size_t i = 0; i < gotA; ++i) {
      if (blockA[i] != blockB[i]) {
        return "Binary mismatch at " + IntToStr(compared + static_cast<int64_t>(i) + 1) + "!";
      }
    }
    compared += static_cast<int64_t>(gotA);
  }
  return std::string();
}

bool ForceDirectoryPath(const std::string& path) {
  std::string p = path;
  for (char& c : p) {
    if (c == '/') c = '\\';
  }
  std::string level;
  int n = 1;
  if (p.rfind("\\\\", 0) == 0) {
    level = "\\\\" + GetField(p, 3, "\\") + "\\" + GetField(p, 4, "\\") + "\\";
    n = 5;
  } else if (p.rfind("\\", 0) == 0) {
    // A path from the root (every absolute POSIX path) walks from there
    // instead of stopping at the empty field in front of the first "\".
    level = "\\";
    n = 2;
  }
  for (;; ++n) {
    const std::string field = GetField(p, n, "\\");
    if (IsBlank(field)) break;
    level += field + "\\";
    if (!DirectoryExists(level) && !CreateDirectoryAt(level)) return false;
  }
  return DirectoryExists(p);
}

TDateTime FileDateTime(const std::string& path) {
  TDateTime value = 0;
  if (!FileExists(path) || !FileLastWriteTime(path, value)) return 0;
  return RoundDownToTwoSeconds(value);
}

void PushCursor(TCursor cursor) {
  CursorState& state = Cursors();
  state.saved.push_back(state.current);
  state.current = cursor;
  MainWindow().SetCursor(cursor);
}

void PopCursor() {
  CursorState& state = Cursors();
  if (state.saved.empty()) {
    state.current = TCursor::Default;
  } else {
    state.current = state.saved.back();
    state.saved.pop_back();
  }
  MainWindow().SetCursor(state.current);
}

}  // namespace tessel
