#include "bitmap/uBitmap.h"

#include <array>
#include <cstdint>
#include <vector>

#include "bitmap/bmp_header.h"
#include "bitmap/converter_argument.h"
#include "bitmap/same_file.h"
#include "platform/atomic_file.h"
#include "platform/file_stream.h"
#include "support/text.h"

namespace tessel {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

std::string InsertBeforeEachCpp(const std::string& path) {
  std::string result;
  size_t pos = 0;
  while (pos < path.size()) {
    if (path.size() - pos >= 4 && SameTextAscii(path.substr(pos, 4), ".CPP")) {
      result += "_8C" + path.substr(pos, 4);
      pos += 4;
    } else {
      result += path[pos++];
    }
  }
  return result;
}

std::string Failure(const std::string& field, const std::string& value,
                    const std::string& expected) {
  return field + " is " + value + ". Should be " + expected + "!";
}

// Checks beyond the three classic ones: input that cannot give a sound
// picture (another header layout, a short palette, no pixels, rows stored
// top-down, pixel data cut short) is refused before anything is read past it.
std::string LayoutFailures(const TBmpHeader& h, int64_t fileSize) {
  std::string errors;
  auto fail = [&errors](const std::string& text) { errors = AppendItem(errors, text, "; "); };
  if (h.biSize != kBmpInfoHeaderSize) {
    fail(Failure("biSize", IntToStr(h.biSize), IntToStr(kBmpInfoHeaderSize)));
  }
  if (h.bfOffBits != kBmpPixelOffset) {
    fail(Failure("bfOffBits", IntToStr(h.bfOffBits), IntToStr(kBmpPixelOffset)));
  }
  if (h.biWidth < 1) fail(Failure("biWidth", IntToStr(h.biWidth), "at least 1"));
  if (h.biHeight < 1) fail(Failure("biHeight", IntToStr(h.biHeight), "at least 1"));
  if (h.biWidth >= 1 && h.biHeight >= 1) {
    const int64_t stride = (static_cast<int64_t>(h.biWidth) + 3) / 4 * 4;
    const int64_t needed = kBmpPixelOffset + stride * (h.biHeight - 1) + h.biWidth;
    if (fileSize < needed) {
      fail(Failure("File size", IntToStr(fileSize), "at least " + IntToStr(needed)));
    }
  }
  return errors;
}

// Creating an output over the bitmap would destroy it unread, and one array
// over the other would lose it; the first such clash is reported.
std::string PathFailure(const std::string& bitmapPath, const TCSourcePaths& paths) {
  if (SameSystemFile(paths.sixteenBit, bitmapPath)) {
    return Failure("16-bit file", paths.sixteenBit, "another file than the bitmap");
  }
  if (SameSystemFile(paths.eightColour, bitmapPath)) {
    return Failure("8-colour file", paths.eightColour, "another file than the bitmap");
  }
  if (SameSystemFile(paths.eightColour, paths.sixteenBit)) {
    return Failure("8-colour file", paths.eightColour, "another file than the 16-bit file");
  }
  return "";
}

void AppendHex(std::string& line, unsigned value, int digits) {
  line += "0x";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
    line += kHexDigits[(value >> shift) & 15];
}

}  // namespace

TCSourcePaths CSourcePathsOf(const std::string& argument) {
  TCSourcePaths paths;
  paths.sixteenBit = OutputPathOf(argument, ".CPP");
  paths.eightColour = InsertBeforeEachCpp(paths.sixteenBit);
  return paths;
}

std::string BmpToCSource(const std::string& argument) {
  const std::string bitmapPath = BitmapPathOf(argument);
  if (!FileExists(bitmapPath)) return "";

  TFile bitmap(bitmapPath, TFile::Mode::Read);
  const TBmpHeader h = ReadBmpHeaderAllowingShortPalette(bitmap);
  std::string errors;
  if (h.biPlanes != 1)
    errors = AppendItem(errors, Failure("biPlanes", IntToStr(h.biPlanes), "1"), "; ");
  if (h.biBitCount != 8) {
    errors = AppendItem(errors, Failure("biBitCount", IntToStr(h.biBitCount), "8"), "; ");
  }
  if (h.biCompression != 0) {
    errors = AppendItem(errors, Failure("biCompression", IntToStr(h.biCompression), "0"), "; ");
  }
  if (!errors.empty()) return errors;
  const TCSourcePaths paths = CSourcePathsOf(argument);
  errors = LayoutFailures(h, bitmap.Size());
  if (errors.empty()) errors = PathFailure(bitmapPath, paths);
  if (!errors.empty()) return errors;

  const int64_t width = h.biWidth;
  const int64_t height = h.biHeight;
  // Stored rows are padded to a multiple of 4 bytes.
  const int64_t stride = (width + 3) / 4 * 4;
  std::vector<uint8_t> pixels(static_cast<size_t>(stride * (height - 1) + width));
  bitmap.Seek(kBmpPixelOffset);
  bitmap.ReadExact(pixels.data(), pixels.size());
  bitmap.Close();

  const std::string name = BaseName(bitmapPath);
  // Both files appear together at the end, each whole or not at all.
  TAtomicTextWriter sixteen(paths.sixteenBit);
  TAtomicTextWriter eight(paths.eightColour);
  for (TAtomicTextWriter* file : {&sixteen, &eight}) {
    file->WriteLine("#define " + name + "_WIDTH 0x" + IntToHex(static_cast<uint64_t>(width), 4));
    file->WriteLine("#define " + name + "_HEIGHT 0x" + IntToHex(static_cast<uint64_t>(height), 4));
  }
  sixteen.WriteLine("const unsigned short " + name + "[ " + IntToStr(width * height) + " ] ={");
  eight.WriteLine("const unsigned char " + name + "[ " + IntToStr(width * height / 2) + " ] ={");

  std::array<uint16_t, kBmpPaletteEntries> colour16;
  std::array<uint8_t, kBmpPaletteEntries> colour3;
  for (int i = 0; i < kBmpPaletteEntries; ++i) {
    colour16[i] = Rgb565(h.palette[i]);
    colour3[i] = Colour3(h.palette[i]);
  }
  std::string line16;
  std::string line8;
  // The picture's top row is the last one stored; the bottom row, written
  // last, is the only one without a trailing ",".
  for (int64_t row = height - 1; row >= 0; --row) {
    const uint8_t* p = pixels.data() + row * stride;
    line16.clear();
    line8.clear();
    for (int64_t x = 0; x < width; ++x) {
      if (x > 0) line16 += ',';
      AppendHex(line16, colour16[p[x]], 4);
    }
    for (int64_t x = 0; x + 1 < width; x += 2) {
      if (x > 0) line8 += ',';
      AppendHex(line8, colour3[p[x]] * 16u + colour3[p[x + 1]], 2);
    }
    if (row > 0) {
      line16 += ',';
      line8 += ',';
    }
    sixteen.WriteLine(line16);
    eight.WriteLine(line8);
  }
  sixteen.Write("};");
  eight.Write("};");
  sixteen.Commit();
  eight.Commit();
  return "";
}

}  // namespace tessel
