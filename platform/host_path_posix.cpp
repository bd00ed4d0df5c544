#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/case_fold.h"
#include "platform/directory_handles.h"
#include "platform/directory_watch.h"
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

// A listing kept for a build. Where the system reports changes to the
// directory, the listing follows them; else any change drops it.
struct TKeptListing {
  TListing names;
  int watch = -1;
  uint64_t device = 0;  // the directory the listing was read from
  uint64_t inode = 0;
  // After a change: the path may lead to another directory by now (one of
  // its parents renamed), which no report about this one tells.
  bool verify = false;
};

// What a build keeps belongs to the thread that runs it, the one that
// opened the first scope: only that thread reads or changes it. Other
// threads (a window's, while a build runs) look paths up as without a
// scope, and what they change reaches the owner as a count, to be taken
// into account at its next look-up.
struct TListingCache {
  std::atomic<std::thread::id> owner{};
  std::atomic<uint64_t> changesElsewhere{0};
  uint64_t changesSeen = 0;
  std::unordered_map<std::string, TKeptListing> listings;  // by host directory
  TDirectoryWatch watch;
  std::unordered_map<int, std::vector<std::string>> watched;  // watch -> directories
  // Listings are watched from the first change on. Ending the system's
  // reports makes the process wait several milliseconds, which a build
  // that changes nothing (and runs no tool) must not pay.
  bool watching = false;
  // Kept with the listings, but never across a change: a handle would
  // still lead to a directory that was renamed or removed.
  TDirectoryHandles handles;
  // Directories of files found as written, by their text in the paths
  // asked about: the next file in one of them needs neither the text
  // turned into a host path again nor its directory looked up again.
  struct TKnownDirectory {
    std::string host;
    int handle = -1;
    size_t prefixSize = 0;  // of the host text that stands for a drive or "/"
    size_t pos = 0;         // where the path's components start
  };
  TStringHashMap<TKnownDirectory> known;
  void Forget() {
    handles.Close();
    known.Clear();
  }
};

TListingCache& Listings() {
  static TListingCache cache;
  return cache;
}

thread_local int scopesHere = 0;  // scopes this thread has open

bool OwnedHere(const TListingCache& cache) {
  return scopesHere > 0 &&
         cache.owner.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

void RefreshKept(TListingCache& cache);
void DropKept(TListingCache& cache);

// The kept state for the thread that owns it, brought up to date with the
// changes other threads made since; nullptr on any other thread.
TListingCache* KeptHere() {
  TListingCache& cache = Listings();
  if (!OwnedHere(cache)) return nullptr;
  const uint64_t changes = cache.changesElsewhere.load(std::memory_order_acquire);
  if (changes != cache.changesSeen) {
    cache.changesSeen = changes;
    RefreshKept(cache);
  }
  return &cache;
}

const TListing& KeepListing(const std::string& directory) {
  TListingCache& cache = Listings();
  TKeptListing kept;
  const std::string path = directory.empty() ? "." : directory;
  TFileSystem& fs = CurrentFileSystem();
  TFileInfo info;
  if (cache.watching && &fs == &RealFileSystem() && fs.Stat(path, info) && info.isDirectory) {
    // Watched before it is read: no change falls in between.
    kept.watch = cache.watch.Watch(path);
    kept.device = info.device;
    kept.inode = info.inode;
    if (kept.watch >= 0) {
      std::vector<std::string>& directories = cache.watched[kept.watch];
      if (std::find(directories.begin(), directories.end(), directory) == directories.end()) {
        directories.push_back(directory);
      }
    }
  }
  kept.names = ReadListing(directory);
  return cache.listings.insert_or_assign(directory, std::move(kept)).first->second.names;
}

// The listing of a directory: kept while a scope lives, else read afresh.
const TListing& ListingOf(const std::string& directory, TListing& scratch) {
  TListingCache* owned = KeptHere();
  if (owned == nullptr) {
    scratch = ReadListing(directory);
    return scratch;
  }
  TListingCache& cache = *owned;
  auto it = cache.listings.find(directory);
  if (it == cache.listings.end()) return KeepListing(directory);
  TKeptListing& kept = it->second;
  if (kept.verify) {
    TFileInfo info;
    if (!CurrentFileSystem().Stat(directory.empty() ? "." : directory, info) ||
        info.device != kept.device || info.inode != kept.inode) {
      return KeepListing(directory);
    }
    kept.verify = false;
  }
  return kept.names;
}

// Applies one reported change to a kept listing; false when the listing can
// no longer be trusted.
bool Apply(const TDirectoryWatch::TChange& change, TListing& names) {
  using TKind = TDirectoryWatch::TChange::TKind;
  if (change.kind == TKind::Gone) return false;
  const std::string folded = Folded(change.name);
  if (change.kind == TKind::Added) {
    auto [it, added] = names.try_emplace(folded, change.name);
    if (!added && change.name < it->second) it->second = change.name;
    return true;
  }
  // A name that stood for others folding alike leaves them unknown.
  auto it = names.find(folded);
  return it == names.end() || it->second != change.name;
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

TDirectoryListingScope::TDirectoryListingScope() {
  if (scopesHere++ > 0) return;
  TListingCache& cache = Listings();
  std::thread::id none;
  if (cache.owner.compare_exchange_strong(none, std::this_thread::get_id())) {
    // Nothing is kept yet: what changed before does not concern it.
    cache.changesSeen = cache.changesElsewhere.load(std::memory_order_acquire);
  }
}

TDirectoryListingScope::~TDirectoryListingScope() {
  if (--scopesHere > 0) return;
  TListingCache& cache = Listings();
  if (cache.owner.load(std::memory_order_relaxed) != std::this_thread::get_id()) return;
  DropKept(cache);
  cache.owner.store(std::thread::id());
}

void DropDirectoryListings() {
  TListingCache& cache = Listings();
  if (OwnedHere(cache)) {
    DropKept(cache);
  } else {
    cache.changesElsewhere.fetch_add(1, std::memory_order_release);
  }
}

void RefreshDirectoryListings() {
  // Called as failed operations end: their reason must stay in errno.
  struct TKeepErrno {
    int saved = errno;
    ~TKeepErrno() { errno = saved; }
  } keep;
  TListingCache& cache = Listings();
  if (OwnedHere(cache)) {
    RefreshKept(cache);
  } else {
    cache.changesElsewhere.fetch_add(1, std::memory_order_release);
  }
}

namespace {

void DropKept(TListingCache& cache) {
  cache.listings.clear();
  cache.watched.clear();
  cache.watch.Close();
  cache.watching = false;
  cache.Forget();
}

void RefreshKept(TListingCache& cache) {
  cache.Forget();
  if (!cache.watching) {
    // Nothing kept so far is watched: dropped, and watched from now on.
    cache.listings.clear();
    cache.watched.clear();
    cache.watching = true;
    return;
  }
  // The reports are read even with nothing kept, so that none is left for
  // listings kept later; the watches stay, as ending them waits too.
  std::vector<TDirectoryWatch::TChange> changes;
  if (!cache.watch.Take(changes)) return DropKept(cache);
  std::erase_if(cache.listings, [](const auto& entry) { return entry.second.watch < 0; });
  for (const TDirectoryWatch::TChange& change : changes) {
    auto directories = cache.watched.find(change.watch);
    if (directories == cache.watched.end()) continue;
    for (const std::string& directory : directories->second) {
      auto kept = cache.listings.find(directory);
      if (kept != cache.listings.end() && !Apply(change, kept->second.names)) {
        cache.listings.erase(kept);
      }
    }
  }
  for (auto& entry : cache.listings) entry.second.verify = true;
}

}  // namespace

void SetDriveRoot(const std::string& hostDirectory) {
  DriveRootStorage() = hostDirectory;
  // The known directories stand for paths below the old root.
  if (TListingCache* kept = KeptHere()) {
    kept->known.Clear();
  } else {
    Listings().changesElsewhere.fetch_add(1, std::memory_order_release);
  }
}

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

void MapPathStat(const std::string& systemPath, TFileInfo& info, THostStat& found,
                 std::string& joined);

}  // namespace

std::string HostPathStat(const std::string& systemPath, TFileInfo& info, THostStat& found) {
  std::string host;
  HostPathStat(systemPath, info, found, host);
  return host;
}

void HostPathStat(const std::string& systemPath, TFileInfo& info, THostStat& found,
                  std::string& host) {
  MapPathStat(systemPath, info, found, host);
  if (Confined(host)) return;
  found = THostStat::Unknown;
  host.clear();
}

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Handles and known directories serve while listings are kept, on the
// machine's file system, and for absolute paths only: a relative one
// depends on the current directory, which a handle would not follow.
bool KeepsDirectories() {
  return KeptHere() != nullptr && &CurrentFileSystem() == &RealFileSystem();
}

// A stat of a host path whose last "/" is at `slash` (npos: none), through
// a handle on its directory where directories are kept.
bool StatJoined(const std::string& path, size_t slash, TFileInfo& info) {
  if (slash == std::string::npos || path[0] != '/' || !KeepsDirectories()) {
    return CurrentFileSystem().Stat(path, info);
  }
  return Listings().handles.Stat(path, slash, info);
}

// Where the name of a path starts, after its last separator; npos when it
// has no separator or ends with one.
size_t NameStart(const std::string& systemPath) {
  for (size_t at = systemPath.size(); at > 0; --at) {
    if (IsSeparator(systemPath[at - 1])) return at == systemPath.size() ? std::string::npos : at;
  }
  return std::string::npos;
}

void ResolveMissing(const std::string& systemPath, size_t pos, size_t prefixSize, bool trailing,
                    std::string& joined, THostStat& found);

// A path in a known directory: its host path and stat, or the resolution
// of a missing one, as the whole mapping gives them. False when the
// directory is not known.
bool MapInKnownDirectory(const std::string& systemPath, TFileInfo& info, THostStat& found,
                         std::string& joined) {
  const size_t name = NameStart(systemPath);
  if (name == std::string::npos) return false;
  TListingCache& cache = Listings();
  const TListingCache::TKnownDirectory* directory =
      cache.known.Find(std::string_view(systemPath).substr(0, name - 1));
  if (directory == nullptr) return false;
  joined.assign(directory->host);
  joined += '/';
  joined.append(systemPath, name, std::string::npos);
  if (TDirectoryHandles::Stat(directory->handle, joined, directory->host.size(), info)) {
    found = THostStat::Found;
  } else {
    ResolveMissing(systemPath, directory->pos, directory->prefixSize, false, joined, found);
  }
  return true;
}

// After a path was found as written: its directory is known from now on.
void KnowDirectory(const std::string& systemPath, const std::string& joined, size_t prefixSize,
                   size_t pos) {
  const size_t name = NameStart(systemPath);
  const size_t slash = joined.rfind('/');
  if (name == std::string::npos || name <= pos || slash == std::string::npos || slash == 0) return;
  TListingCache& cache = Listings();
  auto [directory, added] =
      cache.known.TryEmplace(std::string_view(systemPath).substr(0, name - 1));
  if (!added) return;
  directory->host.assign(joined, 0, slash);
  directory->handle = cache.handles.Find(directory->host);
  directory->prefixSize = prefixSize;
  directory->pos = pos;
}

void MapPathStat(const std::string& systemPath, TFileInfo& info, THostStat& found,
                 std::string& joined) {
  found = THostStat::Unknown;
  const bool keeps = KeepsDirectories();
  if (keeps && MapInKnownDirectory(systemPath, info, found, joined)) return;
  const size_t size = systemPath.size();

  // The part that is taken as it stands: the drive root or "/". Then the
  // components joined as written, repeated separators collapsed, built in
  // one text, whose storage the caller may keep for the next path: this
  // runs for every file a build looks at.
  joined.clear();
  size_t pos = 0;
  if (size >= 2 && systemPath[1] == ':' &&
      ((systemPath[0] >= 'A' && systemPath[0] <= 'Z') ||
       (systemPath[0] >= 'a' && systemPath[0] <= 'z'))) {
    const std::string& root = DriveRootStorage();
    joined.reserve(root.size() + size + 1);
    joined.assign(root.empty() ? "/" : root);
    pos = 2;
  } else {
    joined.reserve(size + 1);
    if (size > 0 && IsSeparator(systemPath[0])) joined += '/';
  }
  const size_t prefixSize = joined.size();
  bool anyComponent = false;
  if (prefixSize > 0 && joined.back() == '/') {
    while (pos < size && IsSeparator(systemPath[pos])) ++pos;
  }
  // Usually the rest can be taken at once with "\" turned into "/": when
  // no separators repeat or end the text and none is missing after the
  // prefix. Otherwise the components are joined one by one.
  joined.append(systemPath, pos, std::string::npos);
  char* const text = joined.data();
  char* const end = text + joined.size();
  // One look at each character: this runs for every file a build asks about.
  bool repeated = false;
  for (char* c = text + prefixSize; c != end; ++c) {
    if (*c == '\\') *c = '/';
    repeated |= *c == '/' && c > text && c[-1] == '/';
  }
  const bool taken =
      joined.size() > prefixSize && joined.back() != '/' && !repeated &&
      (prefixSize == 0 || joined[prefixSize - 1] == '/' || joined[prefixSize] == '/');
  if (taken) {
    anyComponent = true;
  } else {
    joined.resize(prefixSize);
    // Room for every character and one separator more than the text holds:
    // only the first component can gain one that was not there.
    joined.resize(prefixSize + (size - pos) + 1);
    char* out = joined.data();
    size_t length = prefixSize;
    bool inComponent = false;
    for (size_t at = pos; at < size; ++at) {
      const char c = systemPath[at];
      if (IsSeparator(c)) {
        inComponent = false;
        continue;
      }
      if (!inComponent) {
        if (length > 0 && out[length - 1] != '/') out[length++] = '/';
        inComponent = anyComponent = true;
      }
      out[length++] = c;
    }
    joined.resize(length);
  }
  const bool trailing = anyComponent && IsSeparator(systemPath.back());
  // Usual case: the path exists as written, no directory needs to be read,
  // and the one stat that told so is the caller's answer too. A dangling
  // link fails here but is still found as an entry below.
  if (!anyComponent) return;
  if (StatJoined(joined, joined.rfind('/'), info)) {
    if (trailing) {
      joined += '/';
    } else {
      found = THostStat::Found;
      if (keeps && taken && joined[0] == '/') KnowDirectory(systemPath, joined, prefixSize, pos);
    }
    return;
  }
  ResolveMissing(systemPath, pos, prefixSize, trailing, joined, found);
}

// The path, which does not exist as `joined` writes it, resolved component
// by component without regard to case.
void ResolveMissing(const std::string& systemPath, size_t pos, size_t prefixSize, bool trailing,
                    std::string& joined, THostStat& found) {
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
      joined = Join(resolved, match.wanted.empty() ? fallback : match.wanted) + suffix;
      return;
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
  joined = resolved + suffix;
}

}  // namespace

}  // namespace tessel
