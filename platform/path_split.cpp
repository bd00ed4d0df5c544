#include "platform/path_split.h"

namespace tessel {

namespace {

bool IsDirectoryDelimiter(char c) { return IsPathDelimiter(c) || c == ':'; }

// Index of the last separator or drive colon; npos when there is none.
size_t LastDirectoryDelimiter(const std::string& path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsDirectoryDelimiter(path[i - 1])) return i - 1;
  }
  return std::string::npos;
}

// Index of the dot that starts the file name's extension; npos when none.
size_t ExtensionDot(const std::string& path) {
  for (size_t i = path.size(); i > 0; --i) {
    const char c = path[i - 1];
    if (c == '.') return i - 1;
    if (IsDirectoryDelimiter(c)) break;
  }
  return std::string::npos;
}

}  // namespace

bool IsPathDelimiter(char c) { return c == '\\' || c == '/'; }

std::string ExtractFilePath(const std::string& path) {
  const size_t i = LastDirectoryDelimiter(path);
  return i == std::string::npos ? std::string() : path.substr(0, i + 1);
}

std::string ExtractFileDir(const std::string& path) {
  size_t i = LastDirectoryDelimiter(path);
  if (i == std::string::npos) return std::string();
  // Keep the separator of a root ("C:\", "\") so the result is still a directory.
  if (i > 0 && IsPathDelimiter(path[i]) && !IsDirectoryDelimiter(path[i - 1])) {
    return path.substr(0, i);
  }
  return path.substr(0, i + 1);
}

std::string ExtractFileName(const std::string& path) {
  const size_t i = LastDirectoryDelimiter(path);
  return i == std::string::npos ? path : path.substr(i + 1);
}

std::string ExtractFileExt(const std::string& path) {
  const size_t dot = ExtensionDot(path);
  return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string BaseName(const std::string& path) {
  const std::string name = ExtractFileName(path);
  return name.substr(0, name.find('.'));
}

std::string StripExt(const std::string& path) {
  const size_t dot = ExtensionDot(path);
  return dot == std::string::npos ? path : path.substr(0, dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  return StripExt(path) + ext;
}

std::string DropLastField(const std::string& path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsPathDelimiter(path[i - 1])) return path.substr(0, i - 1);
  }
  return std::string();
}

bool HasDirectoryPart(const std::string& path) {
  return LastDirectoryDelimiter(path) != std::string::npos;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  const bool dirEnds = IsPathDelimiter(dir.back());
  const bool nameStarts = !name.empty() && IsPathDelimiter(name.front());
  if (dirEnds && nameStarts) return dir + name.substr(1);
  if (dirEnds || nameStarts) return dir + name;
  return dir + "\\" + name;
}

}  // namespace tessel
