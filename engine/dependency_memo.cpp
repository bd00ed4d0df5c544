#include "engine/dependency_memo.h"

namespace tessel {

void TDependencyMemo::Expand(TEntry& entry, const std::string& raw, const TParamlist& vars) {
  used_.clear();
  const uint64_t stamp = TParamlist::StampNow();
  Keep(entry, raw, vars.Expand(raw, true, &used_), used_, stamp);
}

void TDependencyMemo::Offer(size_t position, const std::string& raw, const std::string& expanded,
                            const std::vector<TParamlist::TNameRef>& used, uint64_t stamp) {
  if (entries_.size() <= position) entries_.resize(position + 1);
  Keep(entries_[position], raw, expanded, used, stamp);
}

void TDependencyMemo::Keep(TEntry& entry, const std::string& raw, const std::string& expanded,
                           const std::vector<TParamlist::TNameRef>& used, uint64_t stamp) {
  entry.stamp = stamp;
  entry.names = used;
  // Another file: its time must be read again.
  if (!entry.valid || expanded != entry.expanded) {
    entry.epoch = 0;
    entry.expanded = expanded;
  }
  if (!entry.valid || entry.raw != raw) entry.raw = raw;
  entry.valid = true;
}

}  // namespace tessel
