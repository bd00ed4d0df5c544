#include "engine/dependency_memo.h"

namespace tessel {

void TDependencyMemo::Expand(TEntry& entry, const std::string& raw, const TParamlist& vars) {
  used_.clear();
  entry.stamp = TParamlist::StampNow();
  std::string expanded = vars.Expand(raw, true, &used_);
  entry.names.clear();
  for (const std::string& name : used_) {
    auto [it, added] = nameIds_.try_emplace(name, static_cast<int>(names_.size()));
    if (added) {
      names_.push_back(name);
      current_.push_back(vars.ChangeStamp(name));
    }
    entry.names.push_back(it->second);
  }
  // Another file: its time must be read again.
  if (!entry.valid || expanded != entry.expanded) entry.epoch = 0;
  entry.expanded = std::move(expanded);
  entry.raw = raw;
  entry.valid = true;
}

}  // namespace tessel
