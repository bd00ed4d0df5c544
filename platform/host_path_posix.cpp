#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/case_fold.h"
#include "platform/host_file_system.h"
#include "platform/host_path.h"
#include "platform/host_path_posix.h"

namespace tessel {

namespace {

std::string& DriveRootStorage() {
  static std::string root = [] {
    const char* env = std::getenv("TESSEL_DRIVE_ROOT");
    return std::string(env != nullptr && *env != '\0' ? env : "/");
  }();
  return root;
}

bool Exists(const std::string& hostPath) {
  TFileInfo info;
  return CurrentFileSystem().LinkStat(hostPath, info);
}

bool EndsWithExe(const std::string& name) {
  return name.size() > 4 && EqualFoldAscii(name.substr(name.size() - 4), ".EXE");
}

// Joins a resolved prefix and a component; an empty prefix stands for the
// current directory of a relative path.
std::string Join(const std::string& prefix, const std::string& component) {
  if (prefix.empty()) return component;
  if (prefix.back() == '/') return prefix + component;
  return prefix + "/" + component;
}

// The entries of one directory by their ASCII-folded names; where several
// names fold alike, the byte-wise smallest stands for them.
using TListing = std::unordered_map<std::string, std::string>;

std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = FoldAscii(c);
  return folded;
}

// A directory that cannot be read has no names to offer: the component is
// then used as written, and the caller's own operation reports the failure.
TListing ReadListing(const std::string& directory) {
  TListing listing;
  std::vector<THostEntry> entries;
  CurrentFileSystem().List(directory.empty() ? "." : directory, entries);
  for (THostEntry& entry : entries) {
    auto [it, added] = listing.try_emplace(Folded(entry.name), entry.name);
    if (!added && entry.name < it->second) it->second = std::move(entry.name);
  }
  return listing;
}

struct TListingCache {
  int scopes = 0;
  std::unordered_map<std::string, TListing> listings;  // by host directory
};

TListingCache& Listings() {
  static TListingCache cache;
  return cache;
}

// The listing of a directory: kept while a scope lives, else read afresh.
const TListing& ListingOf(const std::string& directory, TListing& scratch) {
  TListingCache& cache = Listings();
  if (cache.scopes == 0) {
    scratch = ReadListing(directory);
    return scratch;
  }
  auto it = cache.listings.find(directory);
  if (it == cache.listings.end())
    it = cache.listings.emplace(directory, ReadListing(directory)).first;
  return it->second;
}

// Looks up `wanted` (and, when not empty, `fallback`) in one listing of the
// directory: the byte-wise smallest entry matching without regard to case;
// `wanted` wins over `fallback`.
struct CaseMatch {
  std::string wanted;
  std::string fallback;
};

CaseMatch FindCaseInsensitive(const std::string& directory, const std::string& wanted,
                              const std::string& fallback) {
  CaseMatch found;
  TListing scratch;
  const TListing& listing = ListingOf(directory, scratch);
  if (auto it = listing.find(Folded(wanted)); it != listing.end()) found.wanted = it->second;
  if (!fallback.empty()) {
    if (auto it = listing.find(Folded(fallback)); it != listing.end()) found.fallback = it->second;
  }
  return found;
}

}  // namespace

TDirectoryListingScope::TDirectoryListingScope() { ++Listings().scopes; }

TDirectoryListingScope::~TDirectoryListingScope() {
  if (--Listings().scopes == 0) Listings().listings.clear();
}

void DropDirectoryListings() { Listings().listings.clear(); }

void SetDriveRoot(const std::string& hostDirectory) { DriveRootStorage() = hostDirectory; }

std::string DriveRoot() { return DriveRootStorage(); }

namespace {

std::string& ConfinementStorage() {
  static std::string root;
  return root;
}

bool Confined(const std::string& host) {
  const std::string& root = ConfinementStorage();
  if (root.empty() || host.empty()) return true;
  std::string absolute = host;
  if (absolute[0] != '/') {
    char* cwd = ::getcwd(nullptr, 0);
    if (cwd == nullptr) return false;
    absolute = std::string(cwd) + "/" + absolute;
    std::free(cwd);
  }
  const std::string normal = LexicallyNormal(absolute);
  return normal == root || normal.compare(0, root.size() + 1, root + "/") == 0;
}

}  // namespace

void SetConfinement(const std::string& hostDirectory) {
  ConfinementStorage() = hostDirectory.empty() ? std::string() : LexicallyNormal(hostDirectory);
}

std::string HostPath(const std::string& systemPath) {
  TFileInfo info;
  THostStat found;
  return HostPathStat(systemPath, info, found);
}

namespace {

std::string MapPathStat(const std::string& systemPath, TFileInfo& info, THostStat& found);

}  // namespace

std::string HostPathStat(const std::string& systemPath, TFileInfo& info, THostStat& found) {
  std::string host = MapPathStat(systemPath, info, found);
  if (Confined(host)) return host;
  found = THostStat::Unknown;
  return std::string();
}

namespace {

std::string MapPathStat(const std::string& systemPath, TFileInfo& info, THostStat& found) {
  found = THostStat::Unknown;
  const auto separator = [](char c) { return c == '/' || c == '\\'; };
  const size_t size = systemPath.size();

  // The part that is taken as it stands: the drive root or "/". Then the
  // components joined as written, repeated separators collapsed, built in
  // one text: this runs for every file a build looks at.
  std::string joined;
  size_t pos = 0;
  if (size >= 2 && systemPath[1] == ':' &&
      ((systemPath[0] >= 'A' && systemPath[0] <= 'Z') ||
       (systemPath[0] >= 'a' && systemPath[0] <= 'z'))) {
    const std::string& root = DriveRootStorage();
    joined.reserve(root.size() + size + 1);
    joined = root.empty() ? "/" : root;
    pos = 2;
  } else {
    joined.reserve(size + 1);
    if (size > 0 && separator(systemPath[0])) joined += '/';
  }
  const size_t prefixSize = joined.size();
  bool anyComponent = false;
  for (size_t at = pos; at < size;) {
    if (separator(systemPath[at])) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < size && !separator(systemPath[end])) ++end;
    if (!joined.empty() && joined.back() != '/') joined += '/';
    joined.append(systemPath, at, end - at);
    anyComponent = true;
    at = end;
  }
  const bool trailing = anyComponent && separator(systemPath.back());
  // Usual case: the path exists as written, no directory needs to be read,
  // and the one stat that told so is the caller's answer too. A dangling
  // link fails here but is still found as an entry below.
  if (!anyComponent) return joined;
  if (CurrentFileSystem().Stat(joined, info)) {
    if (trailing) {
      joined += '/';
    } else {
      found = THostStat::Found;
    }
    return joined;
  }

  std::string path = systemPath;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  const std::string prefix = joined.substr(0, prefixSize);
  const std::string suffix = trailing ? "/" : "";
  std::vector<std::string> components;
  while (pos < path.size()) {
    const size_t slash = path.find('/', pos);
    const size_t end = slash == std::string::npos ? path.size() : slash;
    if (end > pos) components.push_back(path.substr(pos, end - pos));
    pos = end + 1;
  }

  std::string resolved = prefix;
  size_t first = 0;
  // Mostly only the last component is missing or written in another case:
  // when its directory exists as written, one look-up stands for the walk
  // down to it.
  if (components.size() >= 2) {
    std::string parent = prefix;
    for (size_t i = 0; i + 1 < components.size(); ++i) parent = Join(parent, components[i]);
    TFileInfo directory;
    if (CurrentFileSystem().Stat(parent, directory) && directory.isDirectory) {
      resolved = std::move(parent);
      first = components.size() - 1;
    }
  }
  for (size_t i = first; i < components.size(); ++i) {
    const std::string& component = components[i];
    const bool last = i + 1 == components.size();
    std::string candidate = Join(resolved, component);
    if (component == "." || component == ".." || Exists(candidate)) {
      resolved = candidate;
      continue;
    }
    const std::string fallback =
        last && EndsWithExe(component) ? component.substr(0, component.size() - 4) : "";
    if (!fallback.empty() && Exists(Join(resolved, fallback))) {
      // Still prefer "tool.exe" found in another case over the bare "tool".
      const CaseMatch match = FindCaseInsensitive(resolved, component, "");
      return Join(resolved, match.wanted.empty() ? fallback : match.wanted) + suffix;
    }
    const CaseMatch match = FindCaseInsensitive(resolved, component, fallback);
    if (!match.wanted.empty()) {
      resolved = Join(resolved, match.wanted);
    } else if (!match.fallback.empty()) {
      resolved = Join(resolved, match.fallback);
    } else {
      // From the first missing component on, the rest is used as written.
      for (size_t j = i; j < components.size(); ++j) resolved = Join(resolved, components[j]);
      break;
    }
  }
  // Mapped to the very path whose stat failed above.
  if (resolved == joined && suffix.empty()) found = THostStat::Missing;
  return resolved + suffix;
}

}  // namespace

}  // namespace tessel
