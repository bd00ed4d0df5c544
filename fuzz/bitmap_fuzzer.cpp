// Bitmap converters: the input's first line is the argument "BITMAP;OUTPUT",
// the rest the bytes of IN.BMP. Whatever the two hold, the bitmap the
// argument names keeps every byte, and nothing outside the box changes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "bitmap/converter_argument.h"
#include "bitmap/uBitmap.h"
#include "bitmap/uCGI.h"
#include "fuzz/harness.h"
#include "platform/file_system.h"

using namespace tessel;
using namespace tessel::fuzz;

namespace {

std::string ContentOrNothing(const std::string& path) {
  try {
    return FileExists(path) ? ReadFileBytes(path) : std::string("\x01missing");
  } catch (const EFileError&) {
    return "\x01unreadable";
  }
}

bool Convert(const std::string& argument, bool cgi) {
  const std::string bitmap = BitmapPathOf(argument);
  const std::string before = ContentOrNothing(bitmap);
  try {
    if (cgi) {
      Bmp256ToCgi(argument);
    } else {
      BmpToCSource(argument);
    }
  } catch (const EFileError&) {
    // Short files and outputs that cannot be written end here.
  }
  if (ContentOrNothing(bitmap) == before) return true;
  std::fprintf(stderr, "fuzz: the conversion changed its bitmap %s\n", bitmap.c_str());
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t eol = input.find('\n');
  if (eol == std::string::npos || eol > 256) return -1;  // not kept in the corpus
  TScratch& scratch = TScratch::Get();
  scratch.Reset({{"IN.BMP", input.substr(eol + 1)},
                 {"OTHER.BMP", "other"},
                 {"sub/keep", ""},
                 {"ro/keep", ""}});
  // Should the flag not hold, the run only checks the read-only case less.
  SetReadOnly("ro\\keep", true);
  const std::string argument = input.substr(0, eol);
  const bool kept = Convert(argument, true) && Convert(argument, false);
  // Back in the fuzzer's directory first, so the crash input can be saved.
  scratch.CheckOutside();
  if (!kept) std::abort();
  return 0;
}
