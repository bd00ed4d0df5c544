#include "tests/support/bmp_writer.h"

#include <cstdlib>
#include <utility>

namespace tessel::test {

namespace {

void Put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((v >> shift) & 0xFF);
}

}  // namespace

std::string BuildBmp(const TBmpLayout& layout) {
  const uint32_t width = static_cast<uint32_t>(std::abs(layout.width));
  const uint32_t height = static_cast<uint32_t>(std::abs(layout.height));
  const uint32_t stride = layout.padRows ? (width + 3) / 4 * 4 : width;
  const uint32_t pixelBytes = stride * height;
  const uint32_t offBits = 14 + layout.infoHeaderSize + 4 * layout.paletteEntries;

  std::string out = "BM";
  Put32(out, layout.bfSize.value_or(offBits + pixelBytes));
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, layout.infoHeaderSize);
  Put32(out, static_cast<uint32_t>(layout.width));
  Put32(out, static_cast<uint32_t>(layout.topDown ? -layout.height : layout.height));
  Put16(out, layout.planes);
  Put16(out, layout.bitCount);
  Put32(out, layout.compression);
  Put32(out, layout.biSizeImage.value_or(pixelBytes));
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, layout.paletteEntries == 256 ? 0 : layout.paletteEntries);
  Put32(out, 0);
  out.resize(14 + layout.infoHeaderSize, '\0');
  for (int i = 0; i < layout.paletteEntries; ++i) {
    TRgb c = i < static_cast<int>(layout.palette.size()) ? layout.palette[i] : TRgb{};
    out += static_cast<char>(c.blue);
    out += static_cast<char>(c.green);
    out += static_cast<char>(c.red);
    out += '\0';
  }
  for (uint32_t stored = 0; stored < height; ++stored) {
    const uint32_t row = layout.topDown ? stored : height - 1 - stored;
    std::string line(stride, '\0');
    for (uint32_t x = 0; x < width; ++x) {
      const size_t i = static_cast<size_t>(row) * width + x;
      if (i < layout.pixels.size()) line[x] = static_cast<char>(layout.pixels[i]);
    }
    out += line;
  }
  return out;
}

TBmpLayout PlainBmp(int32_t width, int32_t height, std::vector<TRgb> palette, uint8_t index) {
  TBmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.palette = std::move(palette);
  layout.pixels.assign(static_cast<size_t>(std::abs(width)) * std::abs(height), index);
  return layout;
}

}  // namespace tessel::test
