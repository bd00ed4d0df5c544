// Make rules: whether a step's target is older than its sources.

#include "engine/uProject.h"
#include "platform/file_system.h"
#include "support/Base_00.h"
#include "support/FileTool.h"

namespace tessel {

namespace {

// Project dependencies are kept as "file;type" (the type says which step
// they belong to); such an entry names the file before the ";". A file whose
// name holds the ";" itself still counts as written.
TDateTime FurtherDependencyDate(const std::string& entry) {
  const TDateTime date = FileDateTime(entry);
  const size_t typeAt = entry.find(';');
  if (date != 0 || typeAt == std::string::npos) return date;
  return FileDateTime(entry.substr(0, typeAt));
}

}  // namespace

bool TProject::IsUpToDate() {
  Reason.clear();
  if (MakeAll) return false;
  // Exact words: "True" does not count.
  if (ExpandedValue("MAKEALL", true) == "TRUE") return false;
  if (ExpandedValue("FORCEUPDATE", true) == "TRUE") return false;

  std::string dependant = ExpandedValue("DEPENDANT", true);
  if (IsBlank(dependant)) return true;  // a step without a target is never built by date
  if (!FileExists(dependant)) return false;

  bool upToDate = false;
  std::string dependency = ExpandedValue("DEPENDENCY", true);
  TDateTime newest = 0;
  if (FileExists(dependency)) {
    newest = FileDateTime(dependency);
  } else {
    // Skipped rather than built: the reason tells the user why.
    Reason = "Dependency: \"" + dependency + "\" does not exist!";
    upToDate = true;
  }
  if (const TStringList* further = List(klDependency)) {
    for (const std::string& entry : *further) {
      TDateTime date = FurtherDependencyDate(Expand(entry, true));
      if (date > newest) newest = date;
    }
  }
  if (FileDateTime(dependant) >= newest) upToDate = true;
  return upToDate;
}

void TProject::ReportSkip() {
  if (IsBlank(Reason)) {
    Log("No news!\r\n");
  } else {
    Log(Reason + "\r\n", true);
  }
}

TProject::TLineResult TProject::ConstantDependencyFileLine(const std::string& value) {
  if (IsBlank(value)) {
    Vars.SetValue("CONSTANT_DEPENDENCY_FILEDATE", "");
  } else {
    Vars.SetValue("CONSTANT_DEPENDENCY_FILEDATE", DateToStamp(FileDateTime(Expand(value, true))));
  }
  return TLineResult::Next;
}

}  // namespace tessel
