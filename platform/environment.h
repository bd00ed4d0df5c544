#pragma once
// Environment variables and the registry stand-in.
//
// On POSIX, registry string values below HKEY_LOCAL_MACHINE come from an INI
// file: section = key path (for example "SoftWare\Tessel"), key = value name,
// both matched without regard to case. The file is the one named by the
// environment variable TESSEL_REGISTRY, otherwise
// "$XDG_CONFIG_HOME/tessel/registry.ini" (or "~/.config/tessel/registry.ini").

#include <string>

namespace tessel {

// Value of an environment variable; empty when not set.
std::string GetEnvironmentValue(const std::string& name);
void SetEnvironmentValue(const std::string& name, const std::string& value);  // tests

// String value `name` under HKEY_LOCAL_MACHINE\`keyPath`; empty when absent.
std::string RegistryValue(const std::string& keyPath, const std::string& name);

// Path of the registry stand-in file (see above).
std::string RegistryFilePath();

// Per-user directories of an installed program, whose own directory it may
// not write: "$XDG_CONFIG_HOME/tessel" (else "~/.config/tessel") for
// settings and "$XDG_STATE_HOME/tessel" (else "~/.local/state/tessel") for
// logs. Created with their parents when missing; the path is returned either
// way.
std::string UserConfigDirectory();
std::string UserStateDirectory();

}  // namespace tessel
