#pragma once
// The memory layout of a linked program: code and constant data from
// 0x00300000 (where the system maps an add-in's image), data and bss in RAM
// from 0x08100000. The data's initial values are stored in the image behind
// the constants; the start-up module copies them from __data_image to
// __data_start..__data_end and clears __bss_start..__bss_end. Sections named
// .text.entry come first, so the start-up entry is the image's first
// instruction.

#include <string>

namespace tessel::toolchain {

constexpr unsigned kCodeAddress = 0x00300000;
constexpr unsigned kCodeSize = 0x00700000;
constexpr unsigned kRamAddress = 0x08100000;
constexpr unsigned kRamSize = 0x00080000;

// The linker script; `entry` may be empty. With `entryFirst` the link fails
// unless the entry symbol is the image's first instruction.
std::string LinkScript(const std::string& entry, bool entryFirst);

}  // namespace tessel::toolchain
