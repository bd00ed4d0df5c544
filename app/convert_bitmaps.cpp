// Convert Bitmaps: every bitmap of a chosen directory into C source arrays.

#include "app/main_core.h"
#include "bitmap/uBitmap.h"
#include "platform/file_system.h"
#include "platform/path_split.h"
#include "support/Base_00.h"
#include "support/FileTool.h"

namespace tessel {

TConvertOutcome TMainCore::ConvertBitmaps() {
  TConvertOutcome outcome;
  ui_.ClearLog();
  TProgramSettings settings = ProgramSettings();
  const std::string remembered = settings.BitmapDir(ExtractFilePath(currentProjectFile_));
  ui_.LogLine(remembered);
  const std::optional<std::string> chosen = ui_.ChooseDirectory(
      "Select directory:", DirectoryExists(remembered) ? remembered : std::string());
  if (!chosen) return outcome;
  outcome.chosen = true;
  const std::string& dir = *chosen;
  settings.SetBitmapDir(dir);

  PushCursor(TCursor::HourGlass);
  struct TCursorGuard {
    ~TCursorGuard() { PopCursor(); }
  } cursor;
  for (const DirEntry& entry : ListDirectory(dir + "\\*.BMP")) {
    if (entry.isDirectory) continue;
    const std::string path = dir + "\\" + entry.name;
    ui_.LogLine("Converting: " + path);
    ++outcome.converted;
    const std::string message = BmpToCSource(path);
    if (!IsBlank(message)) {
      ui_.LogLine("  " + message);
      ++outcome.reported;
    }
  }
  return outcome;
}

}  // namespace tessel
