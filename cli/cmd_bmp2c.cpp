#include <ostream>

#include "app/main_core.h"
#include "bitmap/converter_argument.h"
#include "bitmap/uBitmap.h"
#include "cli/command.h"
#include "cli/command_support.h"
#include "cli/console_ui.h"
#include "platform/file_system.h"
#include "platform/path_split.h"
#include "support/text.h"

namespace tessel {

namespace {

class TBmp2CCommand : public TCliCommand {
 public:
  std::string Name() const override { return "bmp2c"; }
  std::string Usage() const override { return "\"BITMAP[;CPPFILE]\" | DIRECTORY"; }
  std::string Summary() const override {
    return "Converts a bitmap with 256 colours, or every bitmap of a directory (Convert "
           "Bitmaps), into 16-bit and 8-colour C arrays.";
  }

  int Run(const std::vector<std::string>& args, TCliContext& context) override {
    if (args.size() == 1 && DirectoryExists(args[0])) return ConvertDirectory(args[0], context);
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

 private:
  // Convert Bitmaps with the directory as the chooser's answer; 1 when any
  // bitmap gave a message.
  static int ConvertDirectory(std::string directory, TCliContext& context) {
    while (directory.size() > 1 && IsPathDelimiter(directory.back())) directory.pop_back();
    TMainCore core(context.ui);
    context.ui.PresetDirectory(AbsolutePath(directory));
    const TConvertOutcome outcome = core.ConvertBitmaps();
    return outcome.chosen && outcome.reported == 0 ? 0 : 1;
  }
};

}  // namespace

std::unique_ptr<TCliCommand> MakeBmp2CCommand() { return std::make_unique<TBmp2CCommand>(); }

}  // namespace tessel
