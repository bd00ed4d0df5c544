// Make rules: whether a step's target is older than its sources.

#include <optional>

#include "engine/uProject.h"
#include "platform/file_system.h"
#include "support/Base_00.h"
#include "support/FileTool.h"
#include "support/date_time.h"

namespace tessel {

namespace {

// The date FileDateTime gives, or nothing when no file is there; one
// existence check where FileExists followed by FileDateTime takes two.
std::optional<TDateTime> DateOfFile(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  TDateTime written = 0;
  if (!FileLastWriteTime(path, written)) return 0.0;
  return RoundDownToTwoSeconds(written);
}

// Project dependencies are kept as "file;type" (the type says which step
// they belong to); such an entry names the file before the ";". A file whose
// name holds the ";" itself still counts as written.
TDateTime FurtherDependencyDate(const std::string& entry) {
  const TDateTime date = DateOfFile(entry).value_or(0);
  const size_t typeAt = entry.find(';');
  if (date != 0 || typeAt == std::string::npos) return date;
  return DateOfFile(entry.substr(0, typeAt)).value_or(0);
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
  const std::optional<TDateTime> dependantDate = DateOfFile(dependant);
  if (!dependantDate) return false;

  bool upToDate = false;
  std::string dependency = ExpandedValue("DEPENDENCY", true);
  TDateTime newest = 0;
  if (const std::optional<TDateTime> date = DateOfFile(dependency)) {
    newest = *date;
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
  if (*dependantDate >= newest) upToDate = true;
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
