#pragma once
// A fresh drive per test: "C:\..." paths map into a temporary directory, so
// settings files can hold the Windows paths a real installation holds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tessel::test {

class TSetupTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a settings file from lines (joined with CR LF) at a system path.
  void WriteIni(const std::string& path, const std::vector<std::string>& lines);
  // The raw lines of one section (header excluded, blank lines skipped).
  std::vector<std::string> SectionLines(const std::string& path, const std::string& section);
  // The file's lines (CR LF or LF ends).
  std::vector<std::string> FileLines(const std::string& path);
  // Creates a directory (and its parents) at a system path.
  void MakeDirectory(const std::string& path);

  TTempDir drive;

 private:
  std::string oldRoot_;
};

}  // namespace tessel::test
