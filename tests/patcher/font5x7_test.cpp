#include "patcher/font5x7.h"

#include <gtest/gtest.h>

#include <set>

using namespace tessel;

namespace {

TGlyph G(uint8_t r0, uint8_t r1, uint8_t r2, uint8_t r3, uint8_t r4, uint8_t r5, uint8_t r6) {
  return {r0, r1, r2, r3, r4, r5, r6, 0};
}

}  // namespace

TEST(Font5x7, ExampleGlyphsAreByteExact) {
  EXPECT_EQ(FontGlyph('A'), G(0x38, 0x44, 0x44, 0x7C, 0x44, 0x44, 0x44));
  EXPECT_EQ(FontGlyph('0'), G(0x38, 0x44, 0x4C, 0x54, 0x64, 0x44, 0x38));
  EXPECT_EQ(FontGlyph('g'), G(0x00, 0x00, 0x3C, 0x44, 0x3C, 0x04, 0x38));
  EXPECT_EQ(FontGlyph(216), G(0x7C, 0x44, 0x44, 0x44, 0x44, 0x44, 0x7C));
}

TEST(Font5x7, ExactlyTheDefinedCodesHaveGlyphsInTheFiveBySevenCell) {
  std::set<int> defined = {1,   3,   7,   8,   9,   10,  11,  12,  13,  15,  16,  17,
                           18,  19,  26,  27,  28,  29,  30,  31,  134, 135, 140, 156,
                           169, 172, 181, 185, 187, 188, 194, 195, 203, 204, 205, 216};
  ASSERT_EQ(defined.size(), 36u);
  for (int code = 33; code <= 126; ++code) defined.insert(code);

  std::set<TGlyph> shapes;
  for (int code = 0; code < 256; ++code) {
    const TGlyph& glyph = FontGlyph(static_cast<unsigned char>(code));
    bool empty = true;
    for (int row = 0; row < 8; ++row) {
      if (glyph[row] != 0) empty = false;
      // Columns of bits 7, 1 and 0 stay empty, and so does row 7.
      EXPECT_EQ(glyph[row] & 0x83, 0) << "code " << code << " row " << row;
    }
    EXPECT_EQ(glyph[7], 0) << "code " << code;
    EXPECT_EQ(!empty, defined.count(code) == 1) << "code " << code;
    if (!empty) shapes.insert(glyph);
  }
  // No two printable characters share a picture (a copy-and-paste slip would).
  EXPECT_EQ(shapes.size(), defined.size());
}
