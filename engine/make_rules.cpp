// Make rules: whether a step's target is older than its sources.

#include <algorithm>
#include <limits>
#include <optional>

#include "engine/dependency_memo.h"
#include "engine/file_status_cache.h"
#include "engine/uProject.h"
#include "platform/file_system.h"
#include "support/Base_00.h"
#include "support/FileTool.h"
#include "support/date_time.h"

namespace tessel {

namespace {

// A file's last-write time at the precision the file system records, or
// nothing when no file is there: a source saved a moment after its target was
// written must count as newer, so the 2-second dates that are shown and
// stamped are not used here.
// With no cache (outside a run, where the caller may change files between
// two questions) the file system answers directly.
std::optional<int64_t> TimeOfFile(TFileStatusCache* statuses, const std::string& path) {
  const TFileStatus status = statuses != nullptr ? statuses->Get(path) : GetFileStatus(path);
  if (!status.exists) return std::nullopt;
  return status.writeTime;
}

// Earlier than every file's time: what a missing file contributes.
constexpr int64_t kNoTime = std::numeric_limits<int64_t>::min();

// Project dependencies are kept as "file;type" (the type says which step
// they belong to); such an entry names the file before the ";". A file whose
// name holds the ";" itself still counts as written.
int64_t FurtherDependencyTime(TFileStatusCache* statuses, const std::string& entry) {
  if (const std::optional<int64_t> time = TimeOfFile(statuses, entry)) return *time;
  const size_t typeAt = entry.find(';');
  if (typeAt == std::string::npos) return kNoTime;
  return TimeOfFile(statuses, entry.substr(0, typeAt)).value_or(kNoTime);
}

}  // namespace

bool TProject::IsUpToDate() {
  Reason.clear();
  RuleTarget.made = false;
  RuleSource.made = false;
  if (MakeAll) return false;
  // Exact words: "True" does not count.
  if (Vars.ExpandedValue(MakeAllKey, true) == "TRUE") return false;
  if (Vars.ExpandedValue(ForceUpdateKey, true) == "TRUE") return false;

  TFileStatusCache* statuses = Depth >= 0 ? Statuses.get() : nullptr;
  const std::string& dependant = RuleTarget.text;
  ExpandedValueInto("DEPENDANT", true, RuleTarget.text);
  RuleTarget.made = true;
  if (IsBlank(dependant)) return true;  // a step without a target is never built by date
  const std::optional<int64_t> dependantTime = TimeOfFile(statuses, dependant);
  if (!dependantTime) return false;

  bool upToDate = false;
  const std::string& dependency = RuleSource.text;
  ExpandedValueInto("DEPENDENCY", true, RuleSource.text);
  RuleSource.made = true;
  int64_t newest = kNoTime;
  if (const std::optional<int64_t> time = TimeOfFile(statuses, dependency)) {
    newest = *time;
  } else {
    // Skipped rather than built: the reason tells the user why.
    Reason = "Dependency: \"" + dependency + "\" does not exist!";
    upToDate = true;
  }
  if (const TStringList* further = List(klDependency)) {
    newest = Dependencies->Newest(
        *further, Vars, statuses != nullptr ? statuses->Epoch() : 0,
        [&](const std::string& entry) { return FurtherDependencyTime(statuses, entry); }, newest);
  }
  if (*dependantTime >= newest) upToDate = true;
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
