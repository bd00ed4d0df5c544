#pragma once
// Conversion of a 92 x 64 icon bitmap with a 256-colour palette into the
// calculator's .CGI icon form: 64 rows of 92 pixels, top row first, each pixel
// an RGB 5-6-5 value stored high byte first (11776 bytes, no header).

#include <string>

namespace tessel {

constexpr int kCgiWidth = 92;
constexpr int kCgiHeight = 64;
constexpr int kCgiBitmapSize = 6966;                      // $1B36: headers, palette and pixels
constexpr int kCgiBitmapPixelSize = 5888;                 // $1700: 64 rows of 92 bytes
constexpr int kCgiFileSize = kCgiWidth * kCgiHeight * 2;  // 11776

// The icon path of an argument "BITMAP[;ICON]": ICON, or when that is blank,
// the bitmap path in upper case with every ".BMP" replaced by ".CGI".
std::string CgiPathOf(const std::string& argument);

// Converts BITMAP into the icon file. A missing bitmap does nothing. The icon
// file is created before the header checks, so a failed check leaves it
// empty. Returns the failed checks, one line each ended by "\r\n"; empty when
// converted or when the bitmap is missing. A bitmap shorter than its header
// and palette, or than its pixel data, raises EFileError.
std::string Bmp256ToCgi(const std::string& argument);

}  // namespace tessel
