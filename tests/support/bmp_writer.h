#pragma once
// Builds Windows bitmap files with an 8-bit palette for the converter tests;
// every header field can be made wrong on purpose.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessel::test {

struct TRgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

struct TBmpLayout {
  int32_t width = 0;
  int32_t height = 0;           // rows of the picture
  std::vector<uint8_t> pixels;  // palette indexes, top row of the picture first
  std::vector<TRgb> palette;    // the first entries; the rest of the palette is black
  int paletteEntries = 256;     // entries stored in the file
  bool topDown = false;         // rows stored top row first, with a negative height
  bool padRows = true;          // stored rows padded to a multiple of 4 bytes
  uint16_t planes = 1;
  uint16_t bitCount = 8;
  uint32_t compression = 0;
  uint32_t infoHeaderSize = 40;
  std::optional<uint32_t> bfSize;       // default: the real file size
  std::optional<uint32_t> biSizeImage;  // default: the stored pixel bytes
};

std::string BuildBmp(const TBmpLayout& layout);

// A width x height picture of one palette index, the palette given.
TBmpLayout PlainBmp(int32_t width, int32_t height, std::vector<TRgb> palette = {},
                    uint8_t index = 0);

}  // namespace tessel::test
