// Project scripts: any text runs to an end state without crashing, starts
// no program (tool starts go to a fake) and touches nothing outside the
// scratch box.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "engine/uProject.h"
#include "fuzz/harness.h"
#include "platform/file_system.h"

using namespace tessel;
using namespace tessel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TScratch& scratch = TScratch::Get();
  InstallFakeTools();
  scratch.Reset(ExampleSdk());
  const std::string script = "SDK\\Projects\\FUZZ.PRJ";
  WriteFileBytes(script, std::string(reinterpret_cast<const char*>(data), size));
  try {
    TProject engine("engine.log");
    engine.Run(script);
  } catch (const std::exception&) {
    // I/O failures end a run by exception, as they reach the Build command.
  }
  scratch.CheckOutside();
  return 0;
}
