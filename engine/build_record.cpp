#include "engine/build_record.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"

namespace tessel {

namespace {

// The form of the record: a record of another (an older hash) knows nothing.
const char* const kHeader = "TESSEL BUILD RECORD 2";
const char* const kFailed = "failed";

std::optional<uint64_t> ParseHash(std::string_view text) {
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

uint64_t ByteSwapped(uint64_t word) {
  uint64_t swapped = 0;
  for (int i = 0; i < 8; ++i, word >>= 8) swapped = swapped << 8 | (word & 0xFF);
  return swapped;
}

std::string HashDigits(uint64_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 15];
  return text;
}

}  // namespace

TStepHash& TStepHash::Add(const std::string& part) {
  const char* bytes = part.data();
  const size_t size = part.size();
  Mix(size);
  size_t at = 0;
  for (; at + 8 <= size; at += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + at, 8);
    if constexpr (std::endian::native == std::endian::big) word = ByteSwapped(word);
    Mix(word);
  }
  if (at < size) {
    uint64_t word = 0;  // the last bytes, little-endian, filled with zeros
    for (size_t i = at; i < size; ++i) {
      word |= uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * (i - at));
    }
    Mix(word);
  }
  return *this;
}

TStepHash& TStepHash::Add(const std::vector<std::string>& parts) {
  Add(std::to_string(parts.size()));
  for (const std::string& part : parts) Add(part);
  return *this;
}

TBuildRecord::TBuildRecord(std::string path) : path_(std::move(path)) {
  try {
    if (!FileExists(path_)) return;
    TTextReader reader(path_);
    std::string line;
    if (!reader.ReadLine(line) || line != kHeader) return;
    while (reader.ReadLine(line)) {
      const size_t blank = line.find(' ');
      if (blank == std::string::npos || blank + 1 == line.size()) continue;
      const std::string_view first = std::string_view(line).substr(0, blank);
      const std::string_view key = std::string_view(line).substr(blank + 1);
      if (first == kFailed) {
        *entries_.TryEmplace(key).first = std::nullopt;
      } else if (const std::optional<uint64_t> hash = ParseHash(first)) {
        *entries_.TryEmplace(key).first = hash;
      }
    }
  } catch (const EFileError&) {
    entries_.Clear();  // unreadable: nothing known
  }
}

TBuildRecord::TVerdict TBuildRecord::Check(const std::string& key, uint64_t hash) const {
  const std::optional<uint64_t>* found = entries_.Find(key);
  if (found == nullptr) return TVerdict::Unknown;
  if (!*found) return TVerdict::Failed;
  return **found == hash ? TVerdict::Same : TVerdict::Changed;
}

void TBuildRecord::Succeeded(const std::string& key, uint64_t hash) {
  auto [entry, added] = entries_.TryEmplace(key);
  if (!added && *entry == hash) return;
  *entry = hash;
  changed_ = true;
}

void TBuildRecord::Failed(const std::string& key) {
  auto [entry, added] = entries_.TryEmplace(key);
  if (!added && !*entry) return;
  *entry = std::nullopt;
  changed_ = true;
}

bool TBuildRecord::Save() {
  if (!changed_) return true;
  std::vector<std::pair<std::string_view, std::optional<uint64_t>>> sorted;
  sorted.reserve(entries_.Size());
  entries_.ForEach([&](std::string_view key, const std::optional<uint64_t>& hash) {
    sorted.emplace_back(key, hash);
  });
  std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.first < b.first; });
  std::string text = std::string(kHeader) + "\r\n";
  for (const auto& [key, hash] : sorted) {
    text += hash ? HashDigits(*hash) : std::string(kFailed);
    text += ' ';
    text += key;
    text += "\r\n";
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
