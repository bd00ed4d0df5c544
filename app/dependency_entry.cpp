#include "app/dependency_entry.h"

#include "support/Base_00.h"

namespace tessel {

TDependencyEntry SplitDependency(const std::string& value) {
  return {GetField(value, 1, ";"), GetField(value, 2, ";")};
}

std::string EditDependencyEntry(const std::string& value, TUserInterface& ui) {
  const std::optional<TDependencyEntry> edited = ui.DependencyDialog(SplitDependency(value));
  if (!edited) return value;
  return edited->file + ";" + edited->type;
}

}  // namespace tessel
