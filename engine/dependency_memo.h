#pragma once
// The further dependencies of the make rule (the DEPENDENCY list), expanded
// and dated, kept from one step to the next. A generated compile block gives
// every compile step the list of every source, so a step expands again only
// the entries whose variables changed since (by the variable table's change
// stamps) and dates again only what the status cache has dropped since: per
// entry that is a comparison in memory, not an expansion or a system call.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/uParamlist.h"

namespace tessel {

class TDependencyMemo {
 public:
  // The latest of `newest` and the times timeOf gives for the list's
  // entries, expanded with quote removal. `statusEpoch` is the status
  // cache's epoch, or 0 when times must be read afresh.
  // The expansion of the entry at `position` of the list, made by someone
  // else (the log's echo of its line) from the variables as they stood at
  // `stamp`, with the names it used: kept as if Newest had made it.
  void Offer(size_t position, const std::string& raw, const std::string& expanded,
             const std::vector<TParamlist::TNameRef>& used, uint64_t stamp);

  template <class TimeOf>
  int64_t Newest(const std::vector<std::string>& list, const TParamlist& vars, uint64_t statusEpoch,
                 TimeOf timeOf, int64_t newest);

 private:
  struct TEntry {
    bool valid = false;
    std::string raw;
    std::string expanded;
    std::vector<TParamlist::TNameRef> names;  // the names its expansion used
    uint64_t stamp = 0;                       // variable stamp when it was expanded
    uint64_t epoch = 0;                       // status epoch of `time`; 0 = none
    int64_t time = 0;
  };

  void Expand(TEntry& entry, const std::string& raw, const TParamlist& vars);
  // Copied into the entry's own texts, which keep their storage from one
  // step to the next.
  void Keep(TEntry& entry, const std::string& raw, const std::string& expanded,
            const std::vector<TParamlist::TNameRef>& used, uint64_t stamp);

  std::vector<TEntry> entries_;  // by list position
  std::vector<TParamlist::TNameRef> used_;
};

template <class TimeOf>
int64_t TDependencyMemo::Newest(const std::vector<std::string>& list, const TParamlist& vars,
                                uint64_t statusEpoch, TimeOf timeOf, int64_t newest) {
  entries_.resize(list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    TEntry& entry = entries_[i];
    bool fresh = entry.valid && entry.raw == list[i];
    if (fresh) {
      for (const TParamlist::TNameRef name : entry.names) {
        if (vars.ChangeStamp(name) > entry.stamp) {
          fresh = false;
          break;
        }
      }
    }
    if (!fresh) Expand(entry, list[i], vars);
    if (statusEpoch == 0 || entry.epoch != statusEpoch) {
      entry.time = timeOf(entry.expanded);
      entry.epoch = statusEpoch;
    }
    newest = std::max(newest, entry.time);
  }
  return newest;
}

}  // namespace tessel
