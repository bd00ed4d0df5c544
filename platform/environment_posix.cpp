#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/environment.h"
#include "platform/host_file_system.h"
#include "platform/profile.h"

namespace tessel {

namespace {

std::string HomeDirectory() {
  const std::string home = GetEnvironmentValue("HOME");
  if (!home.empty()) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
    return pw->pw_dir;
  }
  return std::string();
}

// $VARIABLE/tessel, else ~/FALLBACK/tessel, created when missing.
std::string UserDirectory(const char* variable, const char* fallback) {
  std::string base = GetEnvironmentValue(variable);
  if (base.empty()) base = HomeDirectory() + "/" + fallback;
  const std::string dir = base + "/tessel";
  // Each missing level in turn. A level that cannot be made is not reported
  // here: the settings file written below it names the failure.
  TFileSystem& fs = CurrentFileSystem();
  TFileInfo info;
  for (size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    const std::string level = dir.substr(0, slash);
    if (!level.empty() && !fs.Stat(level, info)) fs.MakeDirectory(level);
    if (slash == std::string::npos) break;
  }
  return dir;
}

}  // namespace

std::string GetEnvironmentValue(const std::string& name) {
  if (name.empty() || name.find('=') != std::string::npos) return std::string();
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? std::string(value) : std::string();
}

void SetEnvironmentValue(const std::string& name, const std::string& value) {
  // A name that is empty or holds "=" is refused by both calls (EINVAL).
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

std::string UserConfigDirectory() { return UserDirectory("XDG_CONFIG_HOME", ".config"); }

std::string UserStateDirectory() { return UserDirectory("XDG_STATE_HOME", ".local/state"); }

// The stand-in is an INI file like the settings files and is read the same
// way: section and value names matched without regard to case, first match
// wins, a missing or unreadable file holds no values.
std::string RegistryValue(const std::string& keyPath, const std::string& name) {
  return ProfileRead(RegistryFilePath(), keyPath, name).value_or(std::string());
}

}  // namespace tessel
