#pragma once
// The fixed front of an 8-bit Windows bitmap as both converters read it: the
// file header, the 40-byte information header and a palette of 256 entries.
// The pixel data is taken to start right after it, at byte 1078.

#include <array>
#include <cstdint>

namespace tessel {

class TFile;

constexpr int kBmpFileHeaderSize = 14;
constexpr int kBmpInfoHeaderSize = 40;
constexpr int kBmpPaletteEntries = 256;
constexpr int kBmpPaletteOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize;   // 54
constexpr int kBmpPixelOffset = kBmpPaletteOffset + 4 * kBmpPaletteEntries;  // 1078

struct TPaletteEntry {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
  uint8_t reserved = 0;
};

struct TBmpHeader {
  uint32_t bfSize = 0;
  uint32_t bfOffBits = 0;
  uint32_t biSize = 0;
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  uint16_t biPlanes = 0;
  uint16_t biBitCount = 0;
  uint32_t biCompression = 0;
  uint32_t biSizeImage = 0;
  std::array<TPaletteEntry, kBmpPaletteEntries> palette{};
};

// Takes the header apart from its first kBmpPixelOffset bytes (little-endian
// fields, nothing checked).
TBmpHeader ParseBmpHeader(const uint8_t* bytes);

// Reads the first kBmpPixelOffset bytes of the file; a shorter file raises
// EFileError.
TBmpHeader ReadBmpHeader(TFile& file);

// As ReadBmpHeader, but only the two headers must be there: a palette cut
// short reads as black, so the caller can refuse such a file by its fields.
TBmpHeader ReadBmpHeaderAllowingShortPalette(TFile& file);

// RGB 5-6-5: the low bits of each component are dropped, never rounded.
inline uint16_t Rgb565(const TPaletteEntry& e) {
  return static_cast<uint16_t>((e.red >> 3) << 11 | (e.green >> 2) << 5 | (e.blue >> 3));
}

// 8 colours: the top bit of each component (red 4, green 2, blue 1).
inline uint8_t Colour3(const TPaletteEntry& e) {
  return static_cast<uint8_t>((e.red >> 7) << 2 | (e.green >> 7) << 1 | (e.blue >> 7));
}

}  // namespace tessel
