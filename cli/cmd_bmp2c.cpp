#include <ostream>

#include "bitmap/converter_argument.h"
#include "bitmap/uBitmap.h"
#include "cli/command.h"
#include "platform/file_system.h"
#include "support/text.h"

namespace tessel {

namespace {

class TBmp2CCommand : public TCliCommand {
 public:
  std::string Name() const override { return "bmp2c"; }
  std::string Usage() const override { return "\"BITMAP[;CPPFILE]\""; }
  std::string Summary() const override {
    return "Converts a bitmap with 256 colours into a 16-bit and an 8-colour C array.";
  }

  int Run(const std::vector<std::string>& args, TCliContext& context) override {
    if (args.size() != 1 || IsBlank(BitmapPathOf(args[0]))) {
      throw EUsageError("expects one argument, the bitmap and optionally the C source file");
    }
    const std::string bitmap = BitmapPathOf(args[0]);
    if (!FileExists(bitmap)) {
      context.err << "Bitmap not found: " << bitmap << "\n";
      return 1;
    }
    const std::string errorText = BmpToCSource(args[0]);
    if (!errorText.empty()) {
      context.err << errorText << "\n";
      return 1;
    }
    const TCSourcePaths paths = CSourcePathsOf(args[0]);
    context.out << "Written: " << paths.sixteenBit << "\n"
                << "Written: " << paths.eightColour << "\n";
    return 0;
  }
};

}  // namespace

std::unique_ptr<TCliCommand> MakeBmp2CCommand() { return std::make_unique<TBmp2CCommand>(); }

}  // namespace tessel
