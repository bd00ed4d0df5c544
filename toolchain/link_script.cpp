#include "toolchain/link_script.h"

#include <cstdio>

namespace tessel::toolchain {

namespace {

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

}  // namespace

std::string LinkScript(const std::string& entry, bool entryFirst) {
  std::string script;
  script += "OUTPUT_FORMAT(\"elf32-shbig-linux\")\n";
  script += "OUTPUT_ARCH(sh)\n";
  if (!entry.empty()) script += "ENTRY(" + entry + ")\n";
  script += "MEMORY\n{\n";
  script += "  rom (rx) : ORIGIN = " + Hex(kCodeAddress) + ", LENGTH = " + Hex(kCodeSize) + "\n";
  script += "  ram (rwx) : ORIGIN = " + Hex(kRamAddress) + ", LENGTH = " + Hex(kRamSize) + "\n";
  script += "}\n";
  script +=
      "SECTIONS\n"
      "{\n"
      "  .text : {\n"
      "    KEEP(*(.text.entry))\n"
      "    *(.text .text.*)\n"
      "  } > rom\n"
      "  .rodata : ALIGN(4) {\n"
      "    *(.rodata .rodata.*)\n"
      "    . = ALIGN(4);\n"
      "    __init_array_start = .;\n"
      "    KEEP(*(SORT(.init_array.*)))\n"
      "    KEEP(*(.init_array .ctors))\n"
      "    __init_array_end = .;\n"
      "  } > rom\n"
      "  .data : ALIGN(4) {\n"
      "    __data_start = .;\n"
      "    *(.data .data.*)\n"
      "    . = ALIGN(4);\n"
      "    __data_end = .;\n"
      "  } > ram AT> rom\n"
      "  __data_image = LOADADDR(.data);\n"
      "  .bss : ALIGN(4) {\n"
      "    __bss_start = .;\n"
      "    *(.bss .bss.* COMMON)\n"
      "    . = ALIGN(4);\n"
      "    __bss_end = .;\n"
      "  } > ram\n"
      "  /DISCARD/ : { *(.comment) *(.note.*) *(.eh_frame) *(.fini_array*) *(.dtors) }\n"
      "}\n";
  if (entryFirst && !entry.empty()) {
    script += "ASSERT(" + entry + " == " + Hex(kCodeAddress) + ", \"the entry " + entry +
              " is not the first instruction of the image; put it into section .text.entry\")\n";
  }
  return script;
}

}  // namespace tessel::toolchain
