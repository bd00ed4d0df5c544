// Actions of the BMP256TOCGI and BIND lines (and of the "/BMP256TOCGI:" and
// "/BIND:" run arguments): icon conversion and binding of the add-in, each
// guarded by the make rule. A conversion whose checks fail and a patch script
// that ends with an error are failed steps.

#include <set>

#include "bitmap/converter_argument.h"
#include "bitmap/uCGI.h"
#include "engine/build_record.h"
#include "engine/uProject.h"
#include "patcher/patcher.h"
#include "platform/file_system.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

// Names of the $(NAME) references in a text, upper-cased, each once.
std::set<std::string> ReferencedNames(const std::string& text) {
  std::set<std::string> names;
  for (size_t at = text.find("$("); at != std::string::npos; at = text.find("$(", at + 2)) {
    const size_t end = text.find(')', at + 2);
    if (end == std::string::npos) break;
    names.insert(AsciiUpperCase(text.substr(at + 2, end - at - 2)));
  }
  return names;
}

}  // namespace

void TProject::Bmp256ToCgiAction() {
  const std::string argument = ExpandedValue("BMP256TOCGI", true);
  const bool upToDate = IsUpToDate();
  const TStepIdentity step = IdentifyStep(TStepHash().Add("BMP256TOCGI").Add(argument).Value());
  if (!MustRun(upToDate, step)) return;
  const std::string bitmap = BitmapPathOf(argument);
  RunStep(step, {step.target, CgiPathOf(argument)}, [&]() -> std::string {
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
  const std::string script = ExpandedValue("BIND", true);
  const bool upToDate = IsUpToDate();
  // What the bind makes: the patch script and the values of the variables
  // it reads. An unreadable script is left to the patcher to report.
  TStepIdentity step;
  try {
    const std::string text = ReadFileBytes(script);
    TStepHash hash;
    hash.Add("BIND").Add(script).Add(text);
    for (const std::string& name : ReferencedNames(text)) {
      hash.Add(name).Add(ExpandedValue(name, false));
    }
    step = IdentifyStep(hash.Value());
  } catch (const EFileError&) {
    step.target = ExpandedValue("DEPENDANT", true);
  }
  if (!MustRun(upToDate, step)) return;
  RunStep(step, {step.target}, [&]() -> std::string {
    // The patch script sees the build's variables and may change them for
    // the rest of the build.
    TPatcher patcher(&Vars);
    patcher.OnLog = [this](const std::string& text, bool force) { Log(text, force); };
    // The patcher hands the window control with every line it shows.
    FlushLog();
    patcher.Run(script);
    if (IsBlank(patcher.Error())) return "";
    // " -> File error" alone does not say which file failed, nor why.
    const std::string cause = patcher.Cause().empty() ? "" : " (" + patcher.Cause() + ")";
    return "bind script \"" + script + "\" ended with an error" + cause;
  });
}

}  // namespace tessel
