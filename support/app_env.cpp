#include "support/app_env.h"

#include <cerrno>
#include <memory>
#include <stdexcept>

#include "platform/environment.h"
#include "platform/executable.h"
#include "platform/file_system.h"
#include "platform/path_split.h"
#include "platform/profile.h"
#include "support/text.h"

namespace tessel {

namespace {

// The keys this system reads; nothing else may be set.
constexpr const char* kRegisteredKeys[] = {"IF", "FV", "PN", "IN", "PD", "CD", "PL"};

std::unique_ptr<TAppEnv>& Instance() {
  static std::unique_ptr<TAppEnv> instance;
  return instance;
}

// A directory without its trailing separator ("C:\" gives "C:", "/" gives "").
std::string WithoutTrailingSeparator(std::string dir) {
  if (!dir.empty() && IsPathDelimiter(dir.back())) dir.pop_back();
  return dir;
}

// Sets a start-up value and locks it against later settings.
void SetLocked(TAppEnv& env, const std::string& key, const std::string& value) {
  env.PSetValue(key, value);
  env.LockKey(key);
}

// The parameter file named by the setting IN_PARAMETER, or the one-shot file
// C:\IN_PARAMETER.TXT, renamed to .OLD so that it is used once.
std::vector<std::string> ParameterFileLines(const std::string& internalName) {
  const std::string named = GetSetting(internalName + "_PARAMETER");
  if (!IsBlank(named)) {
    if (!FileExists(named)) return {};
    return ReadTextLines(named);
  }
  const std::string fresh = "C:\\" + internalName + "_PARAMETER.TXT";
  if (!FileExists(fresh)) return {};
  const std::string used = "C:\\" + internalName + "_PARAMETER.OLD";
  // An .OLD file left from an earlier start gives way to the new one. When
  // either step fails the start stops: going on would read the earlier
  // file's parameters, or this file's again at every start.
  if (FileExists(used) && !DeleteFileAt(used)) {
    throw std::runtime_error("Parameter file \"" + used +
                             "\" of an earlier start not deleted: " + PlatformErrorText(errno));
  }
  if (!MoveFileTo(fresh, used)) {
    throw std::runtime_error("Parameter file \"" + fresh + "\" not renamed to \"" + used +
                             "\": " + PlatformErrorText(errno));
  }
  return ReadTextLines(used);
}

}  // namespace

TAppEnv::TAppEnv() {
  for (const char* key : kRegisteredKeys) RegisterID(key);
  SetLine("PD", WithoutTrailingSeparator(ExtractFilePath(ExecutablePath())));
  SetLine("CD", WithoutTrailingSeparator(CurrentDirectory()));
}

long TAppEnv::IndexOfKey(const std::string& key) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (SameTextAnsi(NamePart(lines_[i]), key)) return static_cast<long>(i);
  }
  return -1;
}

std::string TAppEnv::Value(const std::string& key) const {
  const long index = IndexOfKey(key);
  return index < 0 ? std::string() : ValuePart(lines_[static_cast<size_t>(index)]);
}

void TAppEnv::RegisterID(const std::string& key) {
  if (IsRegistered(key)) {
    throw std::runtime_error("BASE_00.TAppEnv.RegisterID: " + key + " already registered!");
  }
  registered_ = AppendItem(registered_, key, ",");
}

bool TAppEnv::IsRegistered(const std::string& key) const {
  return IsElement(registered_, key, ",");
}

void TAppEnv::PSetValue(const std::string& key, const std::string& value) {
  if (!IsRegistered(key)) {
    throw std::runtime_error("BASE_00.TAppEnv.PSetValue: " + key + " not registered!");
  }
  if (IsElement(Value("PL"), key, ",")) return;
  std::string v = ReplaceAll(value, "@PROGRAMDIR@", Value("PD"));
  v = ReplaceAll(v, "@CURRENTDIR@", Value("CD"));
  SetLine(Trim(key), v);
}

void TAppEnv::LockKey(const std::string& key) {
  SetLine("PL", AppendUnique(Value("PL"), Trim(key), ","));
}

void TAppEnv::SetLine(const std::string& key, const std::string& value) {
  const long index = IndexOfKey(key);
  if (value.empty()) {
    if (index >= 0) lines_.erase(lines_.begin() + index);
  } else if (index >= 0) {
    lines_[static_cast<size_t>(index)] = key + "=" + value;
  } else {
    lines_.push_back(key + "=" + value);
  }
}

TAppEnv& AppEnv() {
  auto& instance = Instance();
  if (!instance) instance = std::make_unique<TAppEnv>();
  return *instance;
}

void ResetAppEnv() { Instance().reset(); }

void PreLoadAppEnv(const std::vector<std::string>& startupParameters) {
  // Start-up builds the environment afresh, so a second start in one process
  // (the command-line tests) sees no locks from the first.
  ResetAppEnv();
  TAppEnv& env = AppEnv();

  const VersionInfo version = ExecutableVersion();
  env.PSetValue("FV", version.fileVersion.empty() || version.fileFlags == 0
                          ? version.fileVersion
                          : version.fileVersion + "\xDF");
  env.PSetValue("PN", version.productName);
  std::string internalName = version.internalName;
  if (IsBlank(internalName)) internalName = BaseName(ExecutablePath());
  env.PSetValue("IN", internalName);

  std::vector<std::string> parameters = ParameterFileLines(env.Value("IN"));
  parameters.insert(parameters.end(), startupParameters.begin(), startupParameters.end());
  for (const std::string& parameter : parameters) {
    const std::string name = NamePart(parameter);
    if (IsBlank(ValuePart(parameter)) || name.rfind('/', 0) == 0) continue;
    SetLocked(env, name, ValuePart(parameter));
  }

  const std::string settingsFile = env.Value("IF");
  if (!IsBlank(settingsFile)) {
    // Plain profile access: the values as stored, "@" included.
    for (const auto& [key, value] : ProfileReadSection(settingsFile, "AppEnv")) {
      if (!IsBlank(value)) SetLocked(env, key, value);
    }
  }

  // A locked IF keeps its value; the default is not even looked for, as it
  // may create the user's configuration directory.
  if (!IsElement(env.Value("PL"), "IF", ",")) env.PSetValue("IF", DefaultProgramSettingsPath());
}

std::string DefaultProgramSettingsPath() {
  const std::string exe = ExecutablePath();
  const std::string name = BaseName(exe) + ".INI";
  // An installed program cannot write beside itself; its settings then live
  // in the user's configuration directory under the same name.
  const std::string dir = ExtractFilePath(exe);
  if (IsWritableDirectory(dir.empty() ? "." : dir)) return dir + name;
  return UserConfigDirectory() + "/" + name;
}

}  // namespace tessel
