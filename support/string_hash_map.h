#pragma once
// TStringHashMap: a map from text keys to values for the tables a build
// fills by the thousand (file statuses, the build record). Node-based maps
// cost a pointer chase, an allocation and a free per key; here the slots are
// one array probed in place, the keys share a few texts and the values one
// array, so a look-up touches about two cache lines and the whole table is
// freed in a few blocks.
//
// Values live in an array that grows: a pointer to one stays valid only
// until the next insertion.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessel {

// A 64-bit hash of a text, eight bytes at a time, with every input bit
// reaching the low bits the slot index is taken from.
inline uint64_t HashText(std::string_view text) {
  constexpr uint64_t kMul = 0x9E3779B97F4A7C15ull;
  const char* p = text.data();
  const size_t size = text.size();
  uint64_t h = size * kMul;
  auto load32 = [](const char* at) {
    uint32_t word;
    std::memcpy(&word, at, 4);
    return static_cast<uint64_t>(word);
  };
  uint64_t tail = 0;
  if (size >= 8) {
    size_t at = 0;
    for (; at + 8 < size; at += 8) {
      uint64_t word;
      std::memcpy(&word, p + at, 8);
      h = (h ^ word) * kMul;
      h ^= h >> 29;
    }
    std::memcpy(&tail, p + size - 8, 8);  // the last eight, overlapping
  } else if (size >= 4) {
    tail = load32(p) << 32 | load32(p + size - 4);
  } else if (size > 0) {
    const auto byte = [&](size_t at) { return static_cast<uint64_t>(static_cast<uint8_t>(p[at])); };
    tail = byte(0) << 16 | byte(size / 2) << 8 | byte(size - 1);
  }
  h = (h ^ tail) * 0xFF51AFD7ED558CCDull;
  h ^= h >> 32;
  h *= 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 29;
  return h;
}

template <class V>
class TStringHashMap {
 public:
  size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }

  V* Find(std::string_view key) {
    const size_t at = SlotOf(key, HashText(key));
    return at == kNone || slots_[at].entry == 0 ? nullptr : &entries_[slots_[at].entry - 1].value;
  }
  const V* Find(std::string_view key) const { return const_cast<TStringHashMap*>(this)->Find(key); }

  // The number of the entry under `key` (see TryEmplaceNumber); kNoNumber
  // when there is none.
  static constexpr size_t kNoNumber = static_cast<size_t>(-1);
  size_t FindNumber(std::string_view key) const {
    const size_t at = SlotOf(key, HashText(key));
    return at == kNone || slots_[at].entry == 0 ? kNoNumber : slots_[at].entry - 1;
  }

  // The value under `key`, added (value-initialised) when missing; true
  // when it was added.
  std::pair<V*, bool> TryEmplace(std::string_view key) {
    const auto [number, added] = TryEmplaceNumber(key);
    return {&entries_[number].value, added};
  }

  // As TryEmplace, by the entry's number: numbers are given in the order
  // of insertion and stay until Clear.
  std::pair<size_t, bool> TryEmplaceNumber(std::string_view key) {
    if ((entries_.size() + 1) * 2 > slots_.size()) Grow();
    const uint64_t hash = HashText(key);
    const size_t at = SlotOf(key, hash);
    TSlot& slot = slots_[at];
    if (slot.entry != 0) return {slot.entry - 1, false};
    entries_.push_back(TEntry{0, 0, static_cast<uint32_t>(key.size()), hash, V()});
    StoreKey(key, entries_.back());
    slot = TSlot{TagOf(hash), static_cast<uint32_t>(entries_.size())};
    return {entries_.size() - 1, true};
  }
  V& ValueAt(size_t number) { return entries_[number].value; }
  const V& ValueAt(size_t number) const { return entries_[number].value; }

  // Forgets everything. The slot array goes too once it is large, so a
  // table cleared often costs what was put in since, not its largest size.
  void Clear() {
    entries_.clear();
    if (chunks_.size() > 1) chunks_.erase(chunks_.begin(), chunks_.end() - 1);
    if (!chunks_.empty()) chunks_.back().clear();
    if (slots_.size() > kSmallSlots) {
      std::vector<TSlot>().swap(slots_);
    } else {
      for (TSlot& slot : slots_) slot.entry = 0;
    }
  }

  // fn(value) for every entry, which may change it.
  template <class Fn>
  void ForEachValue(Fn&& fn) {
    for (TEntry& entry : entries_) fn(entry.value);
  }

  // fn(key, value) for every entry, in the order of insertion.
  template <class Fn>
  void ForEach(Fn&& fn) const {
    for (const TEntry& entry : entries_) fn(KeyOf(entry), entry.value);
  }

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);
  static constexpr size_t kSmallSlots = 64;

  // Slots are small so that large tables stay in the cache; part of the
  // hash is kept in them, so a probe passes other keys without touching
  // their entries.
  struct TSlot {
    uint32_t tag = 0;    // the hash's upper half
    uint32_t entry = 0;  // 1 + index into entries_; 0 = empty
  };
  struct TEntry {
    uint32_t chunk;  // where its key is kept
    uint32_t keyAt;
    uint32_t keySize;
    uint64_t hash;
    V value;
  };
  static uint32_t TagOf(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }

  std::string_view KeyOf(const TEntry& entry) const {
    return std::string_view(chunks_[entry.chunk].data() + entry.keyAt, entry.keySize);
  }

  // Keys go into texts of growing size that are never enlarged: a table of
  // thousands of keys copies none of them again as it grows.
  static constexpr size_t kFirstChunk = 256;
  static constexpr size_t kLargestChunk = size_t{1} << 16;
  void StoreKey(std::string_view key, TEntry& entry) {
    if (chunks_.empty() || chunks_.back().capacity() - chunks_.back().size() < key.size()) {
      size_t size =
          chunks_.empty() ? kFirstChunk : std::min(kLargestChunk, chunks_.back().capacity() * 2);
      chunks_.emplace_back();
      chunks_.back().reserve(std::max(size, key.size()));
    }
    std::string& chunk = chunks_.back();
    entry.chunk = static_cast<uint32_t>(chunks_.size() - 1);
    entry.keyAt = static_cast<uint32_t>(chunk.size());
    chunk.append(key);
  }

  // The slot holding `key`, or the empty slot where it belongs; kNone when
  // the table has no slots yet.
  size_t SlotOf(std::string_view key, uint64_t hash) const {
    if (slots_.empty()) return kNone;
    const size_t mask = slots_.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
      const TSlot& slot = slots_[at];
      if (slot.entry == 0) return at;
      if (slot.tag == TagOf(hash) && KeyOf(entries_[slot.entry - 1]) == key) return at;
    }
  }

  void Grow() {
    std::vector<TSlot> grown(slots_.empty() ? 16 : slots_.size() * 2);
    const size_t mask = grown.size() - 1;
    for (size_t i = 0; i < entries_.size(); ++i) {
      const uint64_t hash = entries_[i].hash;
      size_t at = hash & mask;
      while (grown[at].entry != 0) at = (at + 1) & mask;
      grown[at] = TSlot{TagOf(hash), static_cast<uint32_t>(i + 1)};
    }
    slots_ = std::move(grown);
  }

  std::vector<TSlot> slots_;  // size a power of two, at most half full
  std::vector<TEntry> entries_;
  std::vector<std::string> chunks_;
};

}  // namespace tessel
