#include "bitmap/bmp_header.h"

#include "platform/file_stream.h"

namespace tessel {

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

TBmpHeader ParseBmpHeader(const uint8_t* bytes) {
  TBmpHeader h;
  h.bfSize = Le32(bytes + 2);
  h.bfOffBits = Le32(bytes + 10);
  h.biSize = Le32(bytes + 14);
  h.biWidth = static_cast<int32_t>(Le32(bytes + 18));
  h.biHeight = static_cast<int32_t>(Le32(bytes + 22));
  h.biPlanes = Le16(bytes + 26);
  h.biBitCount = Le16(bytes + 28);
  h.biCompression = Le32(bytes + 30);
  h.biSizeImage = Le32(bytes + 34);
  const uint8_t* p = bytes + kBmpPaletteOffset;
  for (auto& entry : h.palette) {
    entry = TPaletteEntry{p[0], p[1], p[2], p[3]};
    p += 4;
  }
  return h;
}

TBmpHeader ReadBmpHeader(TFile& file) {
  std::array<uint8_t, kBmpPixelOffset> bytes;
  file.ReadExact(bytes.data(), bytes.size());
  return ParseBmpHeader(bytes.data());
}

TBmpHeader ReadBmpHeaderAllowingShortPalette(TFile& file) {
  std::array<uint8_t, kBmpPixelOffset> bytes{};
  file.ReadExact(bytes.data(), kBmpPaletteOffset);
  file.Read(bytes.data() + kBmpPaletteOffset, bytes.size() - kBmpPaletteOffset);
  return ParseBmpHeader(bytes.data());
}

}  // namespace tessel
