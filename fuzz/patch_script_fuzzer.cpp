// Patch scripts: any text runs to its end or stops with an error text or an
// exception of the patcher, and touches nothing outside the scratch box.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "fuzz/harness.h"
#include "patcher/patcher.h"
#include "settings/uParamlist.h"

using namespace tessel;
using namespace tessel::fuzz;

namespace {

const TFiles& BoxFiles() {
  static const TFiles files = [] {
    TFiles box = ExampleSdk();
    std::string source;
    for (int i = 0; i < 300; ++i) source += static_cast<char>(i * 7);
    box.emplace_back("s.bin", source);
    box.emplace_back("t.bin", "target bytes");
    box.emplace_back("SDK/Projects/DEMO/DEMO_SELECTED.CGI", std::string(0x2E00, '\x11'));
    box.emplace_back("SDK/Projects/DEMO/DEMO_UNSELECTED.CGI", std::string(0x2E00, '\x22'));
    box.emplace_back("SDK/WORK/DEMO.SH3", "TSIMG1" + std::string(100, '\x33'));
    return box;
  }();
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TScratch& scratch = TScratch::Get();
  scratch.Reset(BoxFiles());
  WriteFileBytes("fuzz.pat", std::string(reinterpret_cast<const char*>(data), size));
  // The variables a build hands to the bind script.
  TParamlist params;
  params.SetValue("TEMPLATEDIR", "SDK\\TEMPLATE");
  params.SetValue("PROJECTDIR", "SDK\\Projects");
  params.SetValue("WORKDIR", "SDK\\WORK");
  params.SetValue("PROG", "DEMO");
  params.SetValue("Version", "1.00.0000");
  try {
    TPatcher patcher(&params);
    patcher.Run("fuzz.pat");
  } catch (const std::exception&) {
    // Conversion errors, a missing target and I/O errors end a run this way.
  }
  scratch.CheckOutside();
  return 0;
}
