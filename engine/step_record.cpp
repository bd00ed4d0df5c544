// Whether a step runs: the make rule's dates first, then the build record,
// which knows what the step ran at its last success.

#include "engine/build_record.h"
#include "engine/uProject.h"
#include "platform/case_fold.h"
#include "support/Base_00.h"

namespace tessel {

TProject::TStepIdentity TProject::IdentifyStep(uint64_t hash) const {
  TStepIdentity step;
  IdentifyStep(hash, step);
  return step;
}

void TProject::IdentifyStep(uint64_t hash, TStepIdentity& step) const {
  // The make rule has just expanded both, unless it did not need them.
  if (RuleTarget.made) {
    step.target.assign(RuleTarget.text);
  } else {
    ExpandedValueInto("DEPENDANT", true, step.target);
  }
  step.hash = hash;
  step.key.clear();
  // Keyed by target and primary source: the library takes one step per
  // object, and names compare without regard to case as the files do.
  if (Record != nullptr && !IsBlank(step.target)) {
    std::string expandedSource;
    const std::string& source =
        RuleSource.made ? RuleSource.text : (expandedSource = ExpandedValue("DEPENDENCY", true));
    step.key.resize(step.target.size() + 1 + source.size());
    char* key = step.key.data();
    FoldAsciiInto(step.target, key);
    key += step.target.size();
    *key++ = '<';
    FoldAsciiInto(source, key);
  }
}

bool TProject::MustRun(bool upToDate, const TStepIdentity& step) {
  if (!upToDate) return true;
  // A skip for a missing dependency stays a skip.
  if (IsBlank(Reason) && Record != nullptr && !step.key.empty()) {
    switch (Record->Check(step.key, step.hash)) {
      case TBuildRecord::TVerdict::Unknown:
        // Nothing known: the dates decide, and what they accepted is the
        // measure from now on.
        Record->Succeeded(step.key, step.hash);
        break;
      case TBuildRecord::TVerdict::Same:
        break;
      case TBuildRecord::TVerdict::Changed:
        Log("Command changed: \"" + step.target + "\"\r\n", true);
        return true;
      case TBuildRecord::TVerdict::Failed:
        Log("Failed last time: \"" + step.target + "\"\r\n", true);
        return true;
    }
  }
  ReportSkip();
  return false;
}

}  // namespace tessel
