#pragma once
// The application environment: a process-wide table of start-up values
// (KEY=VALUE lines, keys compared without regard to case).
//
// Keys: IF program settings file, FV file version, PN product name, IN
// internal name, PD program directory, CD current directory at start, PL the
// parameter lock list.

#include <string>
#include <vector>

namespace tessel {

class TAppEnv {
 public:
  TAppEnv();  // registers the keys, sets PD and CD

  std::string Value(const std::string& key) const;
  // Adds a key; raises "BASE_00.TAppEnv.RegisterID: <key> already registered!".
  void RegisterID(const std::string& key);
  bool IsRegistered(const std::string& key) const;
  // Raises "BASE_00.TAppEnv.PSetValue: <key> not registered!"; ignores locked
  // keys; replaces @PROGRAMDIR@ and @CURRENTDIR@; empty removes the key.
  void PSetValue(const std::string& key, const std::string& value);
  // Adds a key to the parameter lock list PL.
  void LockKey(const std::string& key);
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  long IndexOfKey(const std::string& key) const;
  void SetLine(const std::string& key, const std::string& value);
  std::vector<std::string> lines_;
  std::string registered_;
};

// The process-wide instance, created on first use.
TAppEnv& AppEnv();
// Drops the instance (tests).
void ResetAppEnv();

// Start-up pre-load: version values, parameter file, the start-up
// parameters given (the GUI hands over every command-line argument, the
// command-line front end the KEY=VALUE words before its command), section
// "AppEnv" of the IF file, then the IF default. Raises on an unregistered key
// and on a one-shot parameter file that cannot be moved aside.
void PreLoadAppEnv(const std::vector<std::string>& startupParameters);

// The program settings file when no IF parameter names one: beside the
// executable (its name up to the first dot, ".INI"), or under the same name in
// the user's configuration directory when the executable's directory is not
// writable.
std::string DefaultProgramSettingsPath();

}  // namespace tessel
