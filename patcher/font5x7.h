#pragma once
// The 5 x 7 font that PRINTSTRING draws with: 256 glyphs of 8 bytes, indexed
// by character code. Byte r is pixel row r (0 at the top), bit 7 the leftmost
// column. Glyphs use the columns of bits 6 to 2 and the rows 0 to 6, so that
// glyphs placed 6 columns apart keep one empty column between them.
//
// Defined: the printable ASCII characters 33 to 126 and symbols at 1, 3, 7 to
// 13, 15 to 19, 26 to 31, 134, 135, 140, 156, 169, 172, 181, 185, 187, 188,
// 194, 195, 203 to 205 and 216. Every other code (the space included) is empty.

#include <array>
#include <cstdint>

namespace tessel {

using TGlyph = std::array<uint8_t, 8>;

const TGlyph& FontGlyph(unsigned char code);

}  // namespace tessel
