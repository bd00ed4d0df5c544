#include <ostream>

#include "bitmap/converter_argument.h"
#include "bitmap/uCGI.h"
#include "cli/command.h"
#include "platform/file_system.h"
#include "support/text.h"

namespace tessel {

namespace {

class TBmp2CgiCommand : public TCliCommand {
 public:
  std::string Name() const override { return "bmp2cgi"; }
  std::string Usage() const override { return "\"BITMAP[;ICON]\""; }
  std::string Summary() const override {
    return "Converts a 92 x 64 bitmap with 256 colours into a .CGI icon.";
  }

  int Run(const std::vector<std::string>& args, TCliContext& context) override {
    if (args.size() != 1 || IsBlank(BitmapPathOf(args[0]))) {
      throw EUsageError("expects one argument, the bitmap and optionally the icon file");
    }
    const std::string bitmap = BitmapPathOf(args[0]);
    if (!FileExists(bitmap)) {
      context.err << "Bitmap not found: " << bitmap << "\n";
      return 1;
    }
    const std::string failed = Bmp256ToCgi(args[0]);
    if (!failed.empty()) {
      context.err << ReplaceAll(failed, "\r\n", "\n");
      return 1;
    }
    context.out << "Written: " << CgiPathOf(args[0]) << "\n";
    return 0;
  }
};

}  // namespace

std::unique_ptr<TCliCommand> MakeBmp2CgiCommand() { return std::make_unique<TBmp2CgiCommand>(); }

}  // namespace tessel
