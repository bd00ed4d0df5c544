#pragma once
// An engine with its log file in a fresh temp directory and a scripted log
// window, plus helpers to write scripts and read what the engine logged.
// Tools run in-process on the fake runner: `tool` names the stand-in there.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/uProject.h"
#include "tests/support/fake_process.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace tessel::test {

class TEngineTest : public ::testing::Test {
 protected:
  TEngineTest();

  // Writes a script below the temp directory, lines joined with CR LF;
  // returns its path.
  std::string Script(const std::string& name, const std::vector<std::string>& lines);
  // Runs lines as a script named TOP.PRJ.
  uint8_t RunLines(const std::vector<std::string>& lines);
  // The log file, with the entries the engine still buffers (actions called
  // outside a run) written first.
  std::string LogText() const {
    engine->FlushLog();
    return dir.Read("engine.log");
  }
  // Entries the window received, in order.
  const std::vector<std::string>& Window() const { return ui.log; }

  TTempDir dir;
  const std::string tool = "STANDIN.EXE";
  TFakeTools tools{{tool}};
  TScriptedUserInterface ui;
  std::unique_ptr<TProject> engine;
};

}  // namespace tessel::test
