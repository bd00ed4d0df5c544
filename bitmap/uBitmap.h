#pragma once
// Conversion of an 8-bit bitmap with a 256-colour palette into two C source
// files that define the picture as constant arrays: one 16-bit RGB 5-6-5
// value per pixel, and 8 colours (3 bits) per pixel, two pixels per byte.

#include <string>

namespace tessel {

struct TCSourcePaths {
  std::string sixteenBit;   // CPPFILE, or BITMAP in upper case with ".BMP" -> ".CPP"
  std::string eightColour;  // the 16-bit path with "_8C" in front of every ".CPP"
};

// The output paths of an argument "BITMAP[;CPPFILE]". ".CPP" is found in any
// case, so a 16-bit file x.cpp gets the 8-colour file x_8C.cpp beside it.
TCSourcePaths CSourcePathsOf(const std::string& argument);

// Converts BITMAP into the two C source files. Returns ErrorText: empty when
// converted or when the bitmap is missing; otherwise the failed checks, each
// "<field> is <value>. Should be <expected>!", joined by "; ", and nothing is
// written. A file too short to hold the two headers raises EFileError.
std::string BmpToCSource(const std::string& argument);

}  // namespace tessel
