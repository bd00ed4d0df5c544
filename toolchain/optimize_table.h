#pragma once
// The optimisation level shcpp may really use with a given cross compiler.
//
// sh4-linux-gnu-gcc 12.2.0 (Debian 12.2.0-13) silently miscompiles tests of a
// loaded value against zero at -O1, -O2, -Os and -Og (some shapes at -O3
// too): a target-specific pass deletes the load and the test and leaves a
// branch on a flag that nothing set. No -f or -m option avoids it. So every
// compiler compiles at -O0 unless this table trusts it with more; the
// reproducers in tests/toolchain run under qemu-sh4eb and prove an entry
// before it is raised.

#include <string>

namespace tessel::toolchain {

struct TTrustedCompiler {
  const char* version;  // as "sh4-linux-gnu-gcc -dumpfullversion" prints it
  int highestLevel;     // the highest -O level its code is right at
};

// The level to compile at when `requested` (0 or 1) is asked for with the
// compiler of that version.
int EffectiveOptimizeLevel(const std::string& compilerVersion, int requested);

}  // namespace tessel::toolchain
