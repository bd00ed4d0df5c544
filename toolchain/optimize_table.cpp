#include "toolchain/optimize_table.h"

#include <algorithm>

namespace tessel::toolchain {

namespace {

// Compilers whose code has been proven right above -O0 by the reproducers.
// 12.2.0 is listed at 0 on purpose: it is the one that miscompiles.
constexpr TTrustedCompiler kTrustedCompilers[] = {
    {"12.2.0", 0},
};

}  // namespace

int EffectiveOptimizeLevel(const std::string& compilerVersion, int requested) {
  int highest = 0;
  for (const TTrustedCompiler& entry : kTrustedCompilers) {
    if (compilerVersion == entry.version) highest = entry.highestLevel;
  }
  return std::clamp(requested, 0, highest);
}

}  // namespace tessel::toolchain
