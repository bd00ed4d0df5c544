#pragma once
// Runs patch scripts in a fresh temp directory with a scripted main window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "patcher/patcher.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace tessel::test {

class TPatchTest : public ::testing::Test {
 protected:
  TTempDir dir;
  TScriptedUserInterface ui;
  TMainWindowGuard guard{&ui};
  std::vector<std::string> logged;  // OnLog texts of the last run

  // "DIRECTORY=" line that makes relative names land in the temp directory.
  std::string DirectoryLine() const { return "DIRECTORY=" + dir.Path() + "/"; }
  std::string Path(const std::string& name) const { return dir.File(name); }

  // Writes the script as test.pat and runs it with `patcher`.
  void RunWith(TPatcher& patcher, const std::vector<std::string>& lines);
  // Runs a fresh patcher (destroyed afterwards) and returns its error text.
  std::string Run(const std::vector<std::string>& lines, TParamlist* params = nullptr);

  // Runs the lines on the target t.bin holding `bytes`, relative names in the
  // temp directory; returns the error text.
  std::string On(const std::string& bytes, std::vector<std::string> lines,
                 TParamlist* params = nullptr);
  std::string Target() const { return dir.Read("t.bin"); }

  // Whether a logged line equals `text`.
  bool Logged(const std::string& text) const;
};

// Bytes as upper-case hexadecimal pairs separated by blanks.
std::string Hex(const std::string& bytes);
// Bytes from hexadecimal pairs ("01 02 FF").
std::string Bytes(const std::string& hex);

}  // namespace tessel::test
