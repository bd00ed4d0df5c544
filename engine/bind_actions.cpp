// Actions of the BMP256TOCGI and BIND lines (and of the "/BMP256TOCGI:" and
// "/BIND:" run arguments): icon conversion and binding of the add-in, each
// guarded by the make rule.

#include "bitmap/uCGI.h"
#include "engine/uProject.h"
#include "patcher/patcher.h"

namespace tessel {

void TProject::Bmp256ToCgiAction() {
  if (IsUpToDate()) {
    ReportSkip();
    return;
  }
  // A bitmap that fails its checks leaves an empty icon; say why, or the
  // user only finds a broken add-in later.
  const std::string failed = Bmp256ToCgi(ExpandedValue("BMP256TOCGI", true));
  size_t from = 0;
  while (from < failed.size()) {
    size_t end = failed.find("\r\n", from);
    if (end == std::string::npos) end = failed.size();
    Log(failed.substr(from, end - from) + "\r\n", true);
    from = end + 2;
  }
}

void TProject::BindAction() {
  if (IsUpToDate()) {
    ReportSkip();
    return;
  }
  // The patch script sees the build's variables and may change them for
  // the rest of the build.
  TPatcher patcher(&Vars);
  patcher.OnLog = [this](const std::string& text, bool force) { Log(text, force); };
  // The patcher hands the window control with every line it shows.
  FlushLog();
  patcher.Run(ExpandedValue("BIND", true));
}

}  // namespace tessel
