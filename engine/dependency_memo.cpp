#include "engine/dependency_memo.h"

namespace tessel {

void TDependencyMemo::Expand(TEntry& entry, const std::string& raw, const TParamlist& vars) {
  used_.clear();
  const uint64_t stamp = TParamlist::StampNow();
  std::string expanded = vars.Expand(raw, true, &used_);
  Keep(entry, raw, std::move(expanded), used_, stamp, vars);
}

void TDependencyMemo::Offer(size_t position, const std::string& raw, std::string expanded,
                            const std::vector<std::string>& used, uint64_t stamp,
                            const TParamlist& vars) {
  if (entries_.size() <= position) entries_.resize(position + 1);
  Keep(entries_[position], raw, std::move(expanded), used, stamp, vars);
}

void TDependencyMemo::Keep(TEntry& entry, const std::string& raw, std::string expanded,
                           const std::vector<std::string>& used, uint64_t stamp,
                           const TParamlist& vars) {
  entry.stamp = stamp;
  // The same text usually uses the same names as before (it is expanded
  // again because one of them changed): then their ids stand.
  const bool sameText = entry.valid && entry.raw == raw;
  if (sameText && SameNames(entry, used)) {
    if (expanded != entry.expanded) {
      entry.epoch = 0;
      entry.expanded = std::move(expanded);
    }
    return;
  }
  entry.names.clear();
  for (const std::string& name : used) {
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
  if (!sameText) entry.raw = raw;
  entry.valid = true;
}

bool TDependencyMemo::SameNames(const TEntry& entry, const std::vector<std::string>& used) const {
  if (entry.names.size() != used.size()) return false;
  for (size_t i = 0; i < used.size(); ++i) {
    if (names_[static_cast<size_t>(entry.names[i])] != used[i]) return false;
  }
  return true;
}

}  // namespace tessel
