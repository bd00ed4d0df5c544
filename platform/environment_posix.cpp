#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/environment.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"

namespace tessel {

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

std::string Trim(const std::string& s) {
  size_t begin = 0, end = s.size();
  while (begin < end && (s[begin] == ' ' || s[begin] == '\t')) ++begin;
  while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t')) --end;
  return s.substr(begin, end - begin);
}

std::string HomeDirectory() {
  const std::string home = GetEnvironmentValue("HOME");
  if (!home.empty()) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
    return pw->pw_dir;
  }
  return std::string();
}

}  // namespace

std::string GetEnvironmentValue(const std::string& name) {
  if (name.empty() || name.find('=') != std::string::npos) return std::string();
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? std::string(value) : std::string();
}

void SetEnvironmentValue(const std::string& name, const std::string& value) {
  if (name.empty() || name.find('=') != std::string::npos) return;
  // An empty value removes the variable: readers cannot tell the two apart,
  // and a tool started later should not see an empty one.
  if (value.empty()) {
    ::unsetenv(name.c_str());
  } else {
    ::setenv(name.c_str(), value.c_str(), 1);
  }
}

std::string RegistryFilePath() {
  const std::string explicitFile = GetEnvironmentValue("TESSEL_REGISTRY");
  if (!explicitFile.empty()) return explicitFile;
  const std::string config = GetEnvironmentValue("XDG_CONFIG_HOME");
  if (!config.empty()) return config + "/tessel/registry.ini";
  return HomeDirectory() + "/.config/tessel/registry.ini";
}

// A small INI reader of its own: "[key path]" sections, "name=value" lines,
// both matched without regard to case, first match wins; values lose their
// surrounding blanks and one pair of enclosing double quotes.
std::string RegistryValue(const std::string& keyPath, const std::string& name) {
  const std::string file = RegistryFilePath();
  if (!FileExists(file)) return std::string();
  std::vector<std::string> lines;
  try {
    lines = ReadTextLines(file);
  } catch (const EFileError&) {
    return std::string();  // an unreadable stand-in holds no values
  }
  const std::string wantedSection = Trim(keyPath);
  const std::string wantedName = Trim(name);
  bool inSection = false;
  for (const std::string& raw : lines) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      const std::string section =
          Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      inSection = EqualNoCase(section, wantedSection);
      continue;
    }
    if (!inSection) continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos || !EqualNoCase(Trim(line.substr(0, eq)), wantedName)) continue;
    std::string value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return std::string();
}

}  // namespace tessel
