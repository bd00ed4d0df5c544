#pragma once
// An installation on a fresh drive: "C:\SDK" with its base settings, a
// project C:\SDK\Projects\P.INI with its three files, the calculator library
// and the (in-process) stand-in tool as the linker, and a main core started in C:\SDK\BIN
// with the scripted user interface.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_core.h"
#include "tests/support/fake_process.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace tessel::test {

class TAppTest : public ::testing::Test {
 public:
  static constexpr const char* kBaseIni = "C:\\SDK\\BaseOptions\\BaseOptions.ini";
  static constexpr const char* kProjectIni = "C:\\SDK\\Projects\\P.INI";
  static constexpr const char* kProgramIni = "C:\\TESSEL.INI";

 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a file of lines joined with CR LF at a system path.
  void WriteLines(const std::string& path, const std::vector<std::string>& lines);
  void WriteGrooming(const std::vector<std::string>& values);
  // A fresh core with a file version (the main window created anew).
  void NewCore(const std::string& fileVersion = "1.0.9.32");
  // The project script of P: the given lines.
  void WriteScript(const std::vector<std::string>& lines);
  std::string ProgramValue(const std::string& key);
  std::vector<std::string> BoxTexts() const;

  TTempDir drive;
  // The linker as the grooming and the scripts name it.
  TFakeTools tools{{"C:\\SDK\\BIN\\OPTLNK.EXE", "C:\\SDK\\BIN\\optlnk"}};
  TScriptedUserInterface ui;
  std::unique_ptr<TMainCore> core;

 private:
  std::string oldRoot_;
};

}  // namespace tessel::test
