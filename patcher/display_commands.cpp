// The display bitmap: 1024 bytes from FDisplayAddr, 64 rows of 16 bytes, bit
// 7 the leftmost pixel, a set bit dark. Text is drawn into it with the 5 x 7
// font and it can be exported as a monochrome BMP.

#include "patcher/font5x7.h"
#include "patcher/patch_values.h"
#include "patcher/patcher.h"
#include "platform/atomic_file.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

constexpr int kDisplayWidth = 128;
constexpr int kDisplayHeight = 64;
constexpr int kRowBytes = kDisplayWidth / 8;
constexpr int kDisplayBytes = kRowBytes * kDisplayHeight;

void PutLE(std::string& out, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Header and palette of a 128 x 64 bitmap with one bit per pixel.
std::string BmpHeader() {
  std::string header = "BM";
  PutLE(header, 62 + kDisplayBytes, 4);  // file size
  PutLE(header, 0, 2);
  PutLE(header, 0, 2);
  PutLE(header, 62, 4);  // offset of the pixel data
  PutLE(header, 40, 4);  // size of the information header
  PutLE(header, kDisplayWidth, 4);
  PutLE(header, kDisplayHeight, 4);
  PutLE(header, 1, 2);  // planes
  PutLE(header, 1, 2);  // bits per pixel
  PutLE(header, 0, 4);  // no compression
  PutLE(header, kDisplayBytes, 4);
  PutLE(header, 0, 4);
  PutLE(header, 0, 4);
  PutLE(header, 0, 4);
  PutLE(header, 0, 4);
  header += std::string("\x00\x00\x00\x00", 4);  // palette entry 0: black
  header += std::string("\xFF\xFF\xFF\x00", 4);  // palette entry 1: white
  return header;
}

}  // namespace

void TPatcher::CmdDisplayAddr(const std::string& value) {
  CheckTargetOpen();
  int64_t offset;
  if (!ResolveInsideTarget(value, offset)) return;
  FDisplayAddr = static_cast<int32_t>(offset);
  result_ = " -> " + Hex8(static_cast<uint32_t>(FDisplayAddr));
}

void TPatcher::CmdPrintString(const std::string& value) {
  const int32_t x = LenientNumber(Field(value, 1), -1);
  const int32_t y = LenientNumber(Field(value, 2), -1);
  const std::string text = Field(value, 3);
  result_ = " -> " + text;
  PrintString(x, y, text);
}

void TPatcher::CmdPrintList(const std::string& /*value*/) {}

void TPatcher::PrintString(int32_t x, int32_t y, const std::string& text) {
  if (x < 0) {
    Fail("x < 0");
  } else if (x > kDisplayWidth - 1) {
    Fail("x > 127");
  } else if (y < 0) {
    Fail("y < 0");
  } else if (y > kDisplayHeight - 1) {
    Fail("y > 63");
  } else if (FDisplayAddr < 0) {
    Fail("FDisplayAddr undefined");
  }
  if (!IsBlank(FError)) return;
  // The display address outlives the target it was set on.
  CheckTargetOpen();

  const int64_t position = FTarget.Position();
  try {
    for (char c : text) DrawChar(static_cast<unsigned char>(c), x, y);
  } catch (...) {
    FTarget.Seek(position);
    throw;
  }
  FTarget.Seek(position);
}

// Exclusive-or of one glyph into the display, in 16-bit words of two
// neighbouring bytes combined in the order of FBigEndian. Bytes that would
// lie outside the display bitmap (below row 63, right of column 127) or
// outside the target are clipped: their pixels are dropped, nothing else
// is touched.
void TPatcher::DrawChar(unsigned char c, int32_t& x, int32_t& y) {
  const TGlyph& glyph = FontGlyph(c);
  const int shift = 8 - (x % 8);
  const int64_t size = TargetSize();
  for (int r = 0; r < 8; ++r) {
    const uint16_t mask = static_cast<uint16_t>(glyph[r] << shift);
    if (mask == 0 || y + r >= kDisplayHeight) continue;
    for (int k = 0; k < 2; ++k) {
      // Byte k of the word: the high byte first in big-endian order.
      const int bitsShift = (k == 0) == FBigEndian ? 8 : 0;
      const auto maskByte = static_cast<unsigned char>((mask >> bitsShift) & 0xFF);
      const int column = x / 8 + k;
      if (maskByte == 0 || column >= kRowBytes) continue;
      const int64_t offset =
          static_cast<int64_t>(FDisplayAddr) + kRowBytes * static_cast<int64_t>(y + r) + column;
      if (offset >= size) continue;
      std::string byte = ReadTargetAt(offset, 1);
      byte[0] = static_cast<char>(static_cast<unsigned char>(byte[0]) ^ maskByte);
      WriteTargetAt(offset, byte);
    }
  }
  x += 6;
  if (x > 121) {
    x = 0;
    y += 8;
  }
  // Also without a wrap: a text started in the lowest cell rows goes on at the top.
  if (y > 55) y = 0;
}

void TPatcher::CmdTestBitmap(const std::string& value) {
  const std::string name = Unquote(value);
  const std::string fileName = FDirectory + name;
  result_ = "\r\n -> " + fileName;
  // An empty value switches the export off, also behind a DIRECTORY: the
  // bare prefix names a directory, not a file to create.
  if (!IsBlank(name)) SaveDisplayBitmap(fileName);
}

// The file is written only once the display has been read, so a failed
// read leaves no half-written bitmap behind.
void TPatcher::SaveDisplayBitmap(const std::string& fileName) {
  if (!FTargetOpen) throw EFileError("Display bitmap not readable, TargetFile not open");
  if (FDisplayAddr < 0) throw EFileError("Display bitmap not readable, FDisplayAddr undefined");
  FTarget.Seek(FDisplayAddr);
  const std::string display = ReadTargetExact(kDisplayBytes);

  std::string bmp = BmpHeader();
  bmp.reserve(62 + kDisplayBytes);
  for (int row = kDisplayHeight - 1; row >= 0; --row) {
    for (int i = 0; i < kRowBytes; ++i) {
      bmp += static_cast<char>(~static_cast<unsigned char>(display[row * kRowBytes + i]));
    }
  }
  WriteFileAtomic(fileName, bmp);
}

}  // namespace tessel
