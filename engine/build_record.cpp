#include "engine/build_record.h"

#include <algorithm>

#include "platform/atomic_file.h"
#include "platform/file_system.h"

namespace tessel {

namespace {

const char* const kHeader = "TESSEL BUILD RECORD 1";
const char* const kFailed = "failed";

std::optional<uint64_t> ParseHash(const std::string& text) {
  if (text.size() != 16) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value << 4 | static_cast<uint64_t>(digit);
  }
  return value;
}

std::string HashText(uint64_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 15];
  return text;
}

}  // namespace

TStepHash& TStepHash::Add(const std::string& part) {
  for (unsigned char c : part) {
    value_ ^= c;
    value_ *= 1099511628211ull;
  }
  value_ ^= 0x100;  // outside the byte range: the separator
  value_ *= 1099511628211ull;
  return *this;
}

TStepHash& TStepHash::Add(const std::vector<std::string>& parts) {
  Add(std::to_string(parts.size()));
  for (const std::string& part : parts) Add(part);
  return *this;
}

TBuildRecord::TBuildRecord(std::string path) : path_(std::move(path)) {
  std::vector<std::string> lines;
  try {
    if (!FileExists(path_)) return;
    lines = ReadTextLines(path_);
  } catch (const EFileError&) {
    return;  // unreadable: nothing known
  }
  if (lines.empty() || lines.front() != kHeader) return;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const size_t blank = line.find(' ');
    if (blank == std::string::npos || blank + 1 == line.size()) continue;
    const std::string first = line.substr(0, blank);
    std::string key = line.substr(blank + 1);
    if (first == kFailed) {
      entries_[std::move(key)] = std::nullopt;
    } else if (const std::optional<uint64_t> hash = ParseHash(first)) {
      entries_[std::move(key)] = hash;
    }
  }
}

TBuildRecord::TVerdict TBuildRecord::Check(const std::string& key, uint64_t hash) const {
  const auto found = entries_.find(key);
  if (found == entries_.end()) return TVerdict::Unknown;
  if (!found->second) return TVerdict::Failed;
  return *found->second == hash ? TVerdict::Same : TVerdict::Changed;
}

void TBuildRecord::Succeeded(const std::string& key, uint64_t hash) {
  auto [entry, added] = entries_.try_emplace(key, hash);
  if (!added && entry->second == hash) return;
  entry->second = hash;
  changed_ = true;
}

void TBuildRecord::Failed(const std::string& key) {
  auto [entry, added] = entries_.try_emplace(key, std::nullopt);
  if (!added && !entry->second) return;
  entry->second = std::nullopt;
  changed_ = true;
}

bool TBuildRecord::Save() {
  if (!changed_) return true;
  std::vector<const std::pair<const std::string, std::optional<uint64_t>>*> sorted;
  sorted.reserve(entries_.size());
  for (const auto& entry : entries_) sorted.push_back(&entry);
  std::sort(sorted.begin(), sorted.end(), [](auto a, auto b) { return a->first < b->first; });
  std::string text = std::string(kHeader) + "\r\n";
  for (const auto* entry : sorted) {
    text += (entry->second ? HashText(*entry->second) : std::string(kFailed)) + " " + entry->first +
            "\r\n";
  }
  // Replaced in one step: a record that cannot be written stays as the
  // previous build left it.
  try {
    WriteFileAtomic(path_, text);
  } catch (const EFileError&) {
    return false;
  }
  changed_ = false;
  return true;
}

}  // namespace tessel
