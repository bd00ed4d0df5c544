#pragma once
// A small installation for library builds: library, object, header, source
// and template directories below a temp directory, the (in-process) stand-in
// tool as assembler, compiler and linker, and one fresh engine per build.

#include <string>
#include <vector>

#include "platform/datetime.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/standin_tool.h"

namespace tessel::test {

class TLibraryTest : public TEngineTest {
 protected:
  TLibraryTest();

  // System path texts, joined with backslashes as the scripts join them.
  std::string Sys(const std::string& relative) const;
  // Lines that every library script starts with: directories, tools and the
  // stand-in directives that make the assembler and compiler write the
  // routine's object and the linker append the routine's name to the
  // library file.
  std::vector<std::string> Head(const std::string& library) const;
  // Runs the lines as a new build (a fresh engine, empty window log) that
  // ends in state `expected`, and returns the tool runs it made.
  std::vector<TStandinRun> Build(const std::vector<std::string>& lines, bool reportAll = false,
                                 uint8_t expected = psReady);

  // Sets the date of a file below the temp directory.
  void Date(const std::string& relative, TDateTime when);
  TDateTime FileDate(const std::string& relative) const;
  // Every file of a sub-directory to one date.
  void DateAll(const std::string& relativeDir, TDateTime when);

  static TDateTime At(const std::string& stamp);
  bool Shown(const std::string& line) const;

  size_t runsSeen = 0;
};

}  // namespace tessel::test
