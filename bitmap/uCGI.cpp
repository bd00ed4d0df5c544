#include "bitmap/uCGI.h"

#include <cstdint>
#include <vector>

#include "bitmap/bmp_header.h"
#include "bitmap/converter_argument.h"
#include "bitmap/same_file.h"
#include "platform/atomic_file.h"
#include "platform/file_stream.h"

namespace tessel {

std::string CgiPathOf(const std::string& argument) { return OutputPathOf(argument, ".CGI"); }

std::string Bmp256ToCgi(const std::string& argument) {
  const std::string bitmapPath = BitmapPathOf(argument);
  if (!FileExists(bitmapPath)) return "";
  const std::string cgiPath = CgiPathOf(argument);
  // Creating the icon over its own bitmap would destroy the bitmap unread.
  if (SameSystemFile(bitmapPath, cgiPath)) {
    return "CGI file has to be another file than the bitmap.\r\n";
  }

  // The bitmap is read and checked before the icon is touched: a failed
  // check or a short file leaves an existing icon as it was.
  TFile bitmap(bitmapPath, TFile::Mode::Read);
  const TBmpHeader header = ReadBmpHeader(bitmap);
  std::string failed;
  if (header.bfSize != kCgiBitmapSize) failed += "Filesize has to be exactly $1B36 Bytes.\r\n";
  if (header.biHeight != kCgiHeight) failed += "biHeight has to be exactly 64 pixel.\r\n";
  if (header.biSizeImage != kCgiBitmapPixelSize) {
    failed += "biSizeImage has to be exactly 5888 Bytes.\r\n";
  }
  if (!failed.empty()) return failed;

  std::vector<uint8_t> pixels(kCgiBitmapPixelSize);
  bitmap.ReadExact(pixels.data(), pixels.size());
  bitmap.Close();
  std::string icon(kCgiFileSize, '\0');
  for (int row = 0; row < kCgiHeight; ++row) {  // stored bottom-up
    const uint8_t* source = pixels.data() + row * kCgiWidth;
    char* target = icon.data() + (kCgiHeight - 1 - row) * kCgiWidth * 2;
    for (int column = 0; column < kCgiWidth; ++column) {
      const uint16_t value = Rgb565(header.palette[source[column]]);
      *target++ = static_cast<char>(value >> 8);
      *target++ = static_cast<char>(value & 0xFF);
    }
  }
  WriteFileAtomic(cgiPath, icon);
  return "";
}

}  // namespace tessel
