#include "bitmap/converter_argument.h"

#include "support/text.h"

namespace tessel {

std::string BitmapPathOf(const std::string& argument) { return GetField(argument, 1, ";"); }

std::string OutputPathOf(const std::string& argument, const std::string& extension) {
  const std::string output = GetField(argument, 2, ";");
  if (!IsBlank(output)) return output;
  // Derived from the bitmap path alone: a trailing ";" must not end up in the
  // output's file name.
  return ReplaceAll(AsciiUpperCase(BitmapPathOf(argument)), ".BMP", extension);
}

}  // namespace tessel
