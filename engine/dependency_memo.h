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
#include <unordered_map>
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
  void Offer(size_t position, const std::string& raw, std::string expanded,
             const std::vector<std::string>& used, uint64_t stamp, const TParamlist& vars);

  template <class TimeOf>
  int64_t Newest(const std::vector<std::string>& list, const TParamlist& vars, uint64_t statusEpoch,
                 TimeOf timeOf, int64_t newest);

 private:
  struct TEntry {
    bool valid = false;
    std::string raw;
    std::string expanded;
    std::vector<int> names;  // ids of the names its expansion used
    uint64_t stamp = 0;      // variable stamp when it was expanded
    uint64_t epoch = 0;      // status epoch of `time`; 0 = none
    int64_t time = 0;
  };

  void Expand(TEntry& entry, const std::string& raw, const TParamlist& vars);
  void Keep(TEntry& entry, const std::string& raw, std::string expanded,
            const std::vector<std::string>& used, uint64_t stamp, const TParamlist& vars);
  bool SameNames(const TEntry& entry, const std::vector<std::string>& used) const;

  std::vector<TEntry> entries_;  // by list position
  std::vector<std::string> names_;
  std::unordered_map<std::string, int> nameIds_;
  std::vector<uint64_t> current_;  // stamps of names_ during one call
  std::vector<std::string> used_;
};

template <class TimeOf>
int64_t TDependencyMemo::Newest(const std::vector<std::string>& list, const TParamlist& vars,
                                uint64_t statusEpoch, TimeOf timeOf, int64_t newest) {
  entries_.resize(list.size());
  current_.resize(names_.size());
  for (size_t id = 0; id < names_.size(); ++id) current_[id] = vars.ChangeStamp(names_[id]);
  for (size_t i = 0; i < list.size(); ++i) {
    TEntry& entry = entries_[i];
    bool fresh = entry.valid && entry.raw == list[i];
    if (fresh) {
      for (int id : entry.names) {
        if (current_[static_cast<size_t>(id)] > entry.stamp) {
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
