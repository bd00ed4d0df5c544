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

std::string BuildBmp(const TBmpSpec& spec) {
  const uint32_t width = static_cast<uint32_t>(std::abs(spec.width));
  const uint32_t height = static_cast<uint32_t>(std::abs(spec.height));
  const uint32_t stride = spec.padRows ? (width + 3) / 4 * 4 : width;
  const uint32_t pixelBytes = stride * height;
  const uint32_t offBits = 14 + spec.infoHeaderSize + 4 * spec.paletteEntries;

  std::string out = "BM";
  Put32(out, spec.bfSize.value_or(offBits + pixelBytes));
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, spec.infoHeaderSize);
  Put32(out, static_cast<uint32_t>(spec.width));
  Put32(out, static_cast<uint32_t>(spec.topDown ? -spec.height : spec.height));
  Put16(out, spec.planes);
  Put16(out, spec.bitCount);
  Put32(out, spec.compression);
  Put32(out, spec.biSizeImage.value_or(pixelBytes));
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, spec.paletteEntries == 256 ? 0 : spec.paletteEntries);
  Put32(out, 0);
  out.resize(14 + spec.infoHeaderSize, '\0');
  for (int i = 0; i < spec.paletteEntries; ++i) {
    TRgb c = i < static_cast<int>(spec.palette.size()) ? spec.palette[i] : TRgb{};
    out += static_cast<char>(c.blue);
    out += static_cast<char>(c.green);
    out += static_cast<char>(c.red);
    out += '\0';
  }
  for (uint32_t stored = 0; stored < height; ++stored) {
    const uint32_t row = spec.topDown ? stored : height - 1 - stored;
    std::string line(stride, '\0');
    for (uint32_t x = 0; x < width; ++x) {
      const size_t i = static_cast<size_t>(row) * width + x;
      if (i < spec.pixels.size()) line[x] = static_cast<char>(spec.pixels[i]);
    }
    out += line;
  }
  return out;
}

TBmpSpec PlainBmp(int32_t width, int32_t height, std::vector<TRgb> palette, uint8_t index) {
  TBmpSpec spec;
  spec.width = width;
  spec.height = height;
  spec.palette = std::move(palette);
  spec.pixels.assign(static_cast<size_t>(std::abs(width)) * std::abs(height), index);
  return spec;
}

}  // namespace tessel::test
