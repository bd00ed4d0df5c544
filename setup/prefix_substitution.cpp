#include "setup/prefix_substitution.h"

#include "setup/general_setting.h"
#include "support/text.h"

namespace tessel {

namespace {

// A parameter whose value begins its own reference text (a value "$", say)
// would make the value grow on every pass; real paths settle in a few.
constexpr int MaxPasses = 64;

}  // namespace

bool SubstituteGeneralPrefixes(const TEditorRows& general, std::string& value) {
  const std::string original = value;
  for (int pass = 0; pass < MaxPasses; ++pass) {
    const std::string before = value;
    for (const TRow& row : general.Rows()) {
      const std::string& prefix = row.value;
      if (prefix.empty() || prefix.size() >= value.size()) continue;
      if (value.compare(0, prefix.size(), prefix) != 0) continue;
      if (GeneralSettingKind(row.key) == "NUM") continue;
      // A value that its own reference contains ("$(", say) would be found
      // again in what replaces it, and the stored value would grow with
      // every save.
      const std::string reference = "$(" + row.key + ")";
      if (reference.find(prefix) != std::string::npos) continue;
      value = ReplaceAll(value, prefix, reference, false);
    }
    if (value == before) break;
  }
  return value != original;
}

}  // namespace tessel
