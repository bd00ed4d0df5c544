#pragma once
// The one argument both converters take: "BITMAP[;OUTPUT]".

#include <string>

namespace tessel {

// The text before the first ";".
std::string BitmapPathOf(const std::string& argument);

// OUTPUT, or when that is blank, the bitmap path in upper case with every
// ".BMP" replaced by `extension`.
std::string OutputPathOf(const std::string& argument, const std::string& extension);

}  // namespace tessel
