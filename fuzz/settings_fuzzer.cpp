// Settings files: the input holds the base settings file, a zero byte and
// the project settings file. Loading, storing and loading again must reach
// a fixed point: a second store and load shows exactly what the first load
// after storing showed, so what the setup window shows is what is stored.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/harness.h"
#include "setup/setup_model.h"

using namespace tessel;
using namespace tessel::fuzz;

namespace {

std::string StoreAndLoad(TSetupModel& model) {
  model.Store();
  TSetupModel again(model.ProjectFile(), model.ProjectIni(), model.BaseIni());
  again.Load();
  return again.Snapshot();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  TScratch& scratch = TScratch::Get();
  scratch.Reset({{"SDK/BaseOptions/BaseOptions.ini", input.substr(0, split)},
                 {"SDK/Projects/DEMO.INI",
                  split == std::string::npos ? std::string() : input.substr(split + 1)}});
  TSetupModel model("SDK\\Projects\\DEMO.INI", "SDK\\Projects\\DEMO.INI",
                    "SDK\\BaseOptions\\BaseOptions.ini");
  model.Load();
  const std::string first = StoreAndLoad(model);
  TSetupModel loaded(model.ProjectFile(), model.ProjectIni(), model.BaseIni());
  loaded.Load();
  const std::string second = StoreAndLoad(loaded);
  // Back in the fuzzer's directory first, so the crash input can be saved.
  scratch.CheckOutside();
  if (first != second) {
    std::fprintf(stderr, "fuzz: store and load do not settle\n--- first\n%s--- second\n%s",
                 first.c_str(), second.c_str());
    std::abort();
  }
  return 0;
}
