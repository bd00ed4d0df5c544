// Actions of the BMP256TOCGI and BIND lines (and of the "/BMP256TOCGI:" and
// "/BIND:" run arguments): icon conversion and binding of the add-in, each
// guarded by the make rule. A conversion whose checks fail and a patch script
// that ends with an error are failed steps.

#include "bitmap/converter_argument.h"
#include "bitmap/uCGI.h"
#include "engine/uProject.h"
#include "patcher/patcher.h"
#include "support/Base_00.h"

namespace tessel {

void TProject::Bmp256ToCgiAction() {
  if (IsUpToDate()) {
    ReportSkip();
    return;
  }
  const std::string argument = ExpandedValue("BMP256TOCGI", true);
  const std::string bitmap = BitmapPathOf(argument);
  RunStep({ExpandedValue("DEPENDANT", true), CgiPathOf(argument)}, [&]() -> std::string {
    const std::string failed = Bmp256ToCgi(argument);
    if (failed.empty()) return "";
    // Each check line names the bitmap it judged.
    size_t from = 0;
    while (from < failed.size()) {
      size_t end = failed.find("\r\n", from);
      if (end == std::string::npos) end = failed.size();
      Log(failed.substr(from, end - from) + " (file: " + bitmap + ")\r\n", true);
      from = end + 2;
    }
    return "icon conversion of \"" + bitmap + "\" failed its checks";
  });
}

void TProject::BindAction() {
  if (IsUpToDate()) {
    ReportSkip();
    return;
  }
  const std::string script = ExpandedValue("BIND", true);
  RunStep({ExpandedValue("DEPENDANT", true)}, [&]() -> std::string {
    // The patch script sees the build's variables and may change them for
    // the rest of the build.
    TPatcher patcher(&Vars);
    patcher.OnLog = [this](const std::string& text, bool force) { Log(text, force); };
    // The patcher hands the window control with every line it shows.
    FlushLog();
    patcher.Run(script);
    if (IsBlank(patcher.Error())) return "";
    return "bind script \"" + script + "\" ended with an error";
  });
}

}  // namespace tessel
