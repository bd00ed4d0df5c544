#include "platform/memory_file_system.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace tessel {

struct TMemoryFileSystem::TNode {
  bool isDirectory = false;
  std::string data;
  uint32_t mode = 0644;
  int64_t writeTime = 0;
  uint64_t inode = 0;
};

namespace {

constexpr uint64_t kDevice = 0x4d454d;

const char* const kCallNames[] = {
    "Stat",   "OpenRead", "OpenWrite", "Read",          "Write",           "Flush",        "Close",
    "Rename", "Remove",   "List",      "MakeDirectory", "RemoveDirectory", "SetAttributes"};
static_assert(sizeof kCallNames / sizeof kCallNames[0] == static_cast<size_t>(TFsCall::Count_));

std::string ParentOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == 0 || slash == std::string::npos) return "/";
  return path.substr(0, slash);
}

class TMemoryOpenFile final : public TOpenFile {
 public:
  TMemoryOpenFile(TMemoryFileSystem& owner, std::shared_ptr<TMemoryFileSystem::TNode> node,
                  TOpenMode mode)
      : owner_(owner),
        node_(std::move(node)),
        writable_(mode != TOpenMode::Read),
        readable_(mode != TOpenMode::Append),
        append_(mode == TOpenMode::Append) {}

  int64_t Read(void* buffer, size_t count) override {
    if (!node_ || !readable_) {
      errno = EBADF;
      return -1;
    }
    if (owner_.Fails(TFsCall::Read)) return -1;
    const std::string& data = node_->data;
    if (position_ >= data.size()) return 0;
    const size_t got = std::min(count, data.size() - position_);
    std::memcpy(buffer, data.data() + position_, got);
    position_ += got;
    return static_cast<int64_t>(got);
  }

  bool Write(const void* buffer, size_t count) override {
    if (!node_ || !writable_) {
      errno = EBADF;
      return false;
    }
    if (count == 0) return true;
    if (owner_.Fails(TFsCall::Write)) return false;
    std::string& data = node_->data;
    if (append_) position_ = data.size();
    if (data.size() < position_ + count) data.resize(position_ + count, '\0');
    std::memcpy(data.data() + position_, buffer, count);
    position_ += count;
    node_->writeTime = owner_.Clock();
    return true;
  }

  bool Seek(int64_t position) override {
    if (!node_ || position < 0) {
      errno = node_ ? EINVAL : EBADF;
      return false;
    }
    position_ = static_cast<size_t>(position);
    return true;
  }

  int64_t Position() override { return node_ ? static_cast<int64_t>(position_) : -1; }

  int64_t Size() override { return node_ ? static_cast<int64_t>(node_->data.size()) : -1; }

  bool Truncate(int64_t size) override {
    if (!node_ || !writable_ || size < 0) {
      errno = node_ ? EINVAL : EBADF;
      return false;
    }
    if (owner_.Fails(TFsCall::Write)) return false;
    node_->data.resize(static_cast<size_t>(size), '\0');
    node_->writeTime = owner_.Clock();
    return true;
  }

  bool Stat(TFileInfo& info) override {
    if (!node_) {
      errno = EBADF;
      return false;
    }
    info = TFileInfo();
    info.mode = node_->mode;
    info.size = static_cast<int64_t>(node_->data.size());
    info.writeTime = node_->writeTime;
    info.device = kDevice;
    info.inode = node_->inode;
    return true;
  }

  bool Flush() override { return node_ && (!writable_ || !owner_.Fails(TFsCall::Flush)); }

  bool Sync() override { return Flush(); }

  bool Close() override {
    if (!node_) return true;
    node_.reset();
    return !writable_ || !owner_.Fails(TFsCall::Close);
  }

  int64_t CopyFrom(TOpenFile& source, int64_t count, bool& sourceFailed) override {
    return TOpenFile::CopyFrom(source, count, sourceFailed);
  }

 private:
  TMemoryFileSystem& owner_;
  std::shared_ptr<TMemoryFileSystem::TNode> node_;
  size_t position_ = 0;
  bool writable_;
  bool readable_;
  bool append_;
};

}  // namespace

const char* FsCallName(TFsCall kind) { return kCallNames[static_cast<int>(kind)]; }

TMemoryFileSystem::TMemoryFileSystem() {
  auto root = std::make_shared<TNode>();
  root->isDirectory = true;
  root->mode = 0755;
  root->inode = nextInode_++;
  entries_["/"] = root;
}

TMemoryFileSystem::~TMemoryFileSystem() = default;

int64_t TMemoryFileSystem::Clock() const {
  if (clock_ != 0) return clock_;
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string TMemoryFileSystem::Normalise(const std::string& host) const {
  return LexicallyNormal(!host.empty() && host[0] == '/' ? host : current_ + "/" + host);
}

std::shared_ptr<TMemoryFileSystem::TNode> TMemoryFileSystem::Find(const std::string& path) const {
  auto it = entries_.find(path);
  return it == entries_.end() ? nullptr : it->second;
}

bool TMemoryFileSystem::ParentReady(const std::string& path) const {
  const auto parent = Find(ParentOf(path));
  if (!parent) {
    errno = ENOENT;
    return false;
  }
  if (!parent->isDirectory) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

bool TMemoryFileSystem::Fails(TFsCall kind) {
  const int count = ++calls_[static_cast<int>(kind)];
  for (const TFault& fault : faults_) {
    if (fault.kind == kind && (count == fault.at || (fault.sticky && count > fault.at))) {
      faultReached_ = true;
      errno = fault.error;
      return true;
    }
  }
  return false;
}

void TMemoryFileSystem::FailAt(TFsCall kind, int nth, int error, bool sticky) {
  faults_.push_back({kind, Calls(kind) + nth, error, sticky});
  faultReached_ = false;
}

void TMemoryFileSystem::ClearFaults() {
  faults_.clear();
  faultReached_ = false;
}

void TMemoryFileSystem::ResetCounts() {
  for (int& count : calls_) count = 0;
  faults_.clear();
  faultReached_ = false;
}

void TMemoryFileSystem::AddDirectory(const std::string& host) {
  const std::string path = Normalise(host);
  if (path != "/") AddDirectory(ParentOf(path));
  auto& node = entries_[path];
  if (node) return;
  node = std::make_shared<TNode>();
  node->isDirectory = true;
  node->mode = 0755;
  node->inode = nextInode_++;
  node->writeTime = Clock();
}

void TMemoryFileSystem::AddFile(const std::string& host, const std::string& bytes,
                                int64_t writeTime) {
  const std::string path = Normalise(host);
  AddDirectory(ParentOf(path));
  auto node = std::make_shared<TNode>();
  node->data = bytes;
  node->inode = nextInode_++;
  node->writeTime = writeTime != 0 ? writeTime : Clock();
  entries_[path] = node;
}

std::optional<std::string> TMemoryFileSystem::FileBytes(const std::string& host) const {
  const auto node = Find(Normalise(host));
  if (!node || node->isDirectory) return std::nullopt;
  return node->data;
}

bool TMemoryFileSystem::HasFile(const std::string& host) const {
  const auto node = Find(Normalise(host));
  return node && !node->isDirectory;
}

bool TMemoryFileSystem::HasDirectory(const std::string& host) const {
  const auto node = Find(Normalise(host));
  return node && node->isDirectory;
}

std::vector<std::string> TMemoryFileSystem::Files() const {
  std::vector<std::string> files;
  for (const auto& [path, node] : entries_) {
    if (!node->isDirectory) files.push_back(path);
  }
  return files;
}

std::vector<std::string> TMemoryFileSystem::FilesIn(const std::string& host) const {
  std::vector<std::string> names;
  std::vector<THostEntry> entries;
  const std::string dir = Normalise(host);
  const std::string prefix = dir == "/" ? "/" : dir + "/";
  for (auto it = entries_.lower_bound(prefix); it != entries_.end(); ++it) {
    if (it->first.compare(0, prefix.size(), prefix) != 0) break;
    const std::string rest = it->first.substr(prefix.size());
    if (!rest.empty() && rest.find('/') == std::string::npos && !it->second->isDirectory) {
      names.push_back(rest);
    }
  }
  return names;
}

bool TMemoryFileSystem::Stat(const std::string& host, TFileInfo& info) {
  if (Fails(TFsCall::Stat)) return false;
  const bool wantsDirectory = !host.empty() && host.back() == '/' && host != "/";
  const auto node = Find(Normalise(host));
  if (!node) {
    errno = ENOENT;
    return false;
  }
  if (wantsDirectory && !node->isDirectory) {
    errno = ENOTDIR;
    return false;
  }
  info = TFileInfo();
  info.isDirectory = node->isDirectory;
  info.mode = node->mode;
  info.size = node->isDirectory ? 4096 : static_cast<int64_t>(node->data.size());
  info.writeTime = node->writeTime;
  info.device = kDevice;
  info.inode = node->inode;
  return true;
}

bool TMemoryFileSystem::LinkStat(const std::string& host, TFileInfo& info) {
  return Stat(host, info);
}

std::unique_ptr<TOpenFile> TMemoryFileSystem::Open(const std::string& host, TOpenMode mode) {
  if (Fails(mode == TOpenMode::Read ? TFsCall::OpenRead : TFsCall::OpenWrite)) return nullptr;
  const std::string path = Normalise(host);
  auto node = Find(path);
  if (node && node->isDirectory) {
    errno = EISDIR;
    return nullptr;
  }
  if (node && mode == TOpenMode::CreateNew) {
    errno = EEXIST;
    return nullptr;
  }
  if (node && mode != TOpenMode::Read && (node->mode & 0222) == 0) {
    errno = EACCES;
    return nullptr;
  }
  if (!node) {
    if (mode == TOpenMode::Read || mode == TOpenMode::ReadWrite) {
      errno = ENOENT;
      return nullptr;
    }
    if (!ParentReady(path)) return nullptr;
    node = std::make_shared<TNode>();
    node->inode = nextInode_++;
    node->writeTime = Clock();
    entries_[path] = node;
  } else if (mode == TOpenMode::Create) {
    node->data.clear();
    node->writeTime = Clock();
  }
  return std::make_unique<TMemoryOpenFile>(*this, std::move(node), mode);
}

bool TMemoryFileSystem::Remove(const std::string& host) {
  if (Fails(TFsCall::Remove)) return false;
  const std::string path = Normalise(host);
  const auto node = Find(path);
  if (!node) {
    errno = ENOENT;
    return false;
  }
  if (node->isDirectory) {
    errno = EISDIR;
    return false;
  }
  entries_.erase(path);
  return true;
}

bool TMemoryFileSystem::RenameEntry(const std::string& fromHost, const std::string& toHost,
                                    bool replace) {
  if (Fails(TFsCall::Rename)) return false;
  const std::string from = Normalise(fromHost);
  const std::string to = Normalise(toHost);
  const auto node = Find(from);
  if (!node) {
    errno = ENOENT;
    return false;
  }
  if (!ParentReady(to)) return false;
  if (from == to) return true;
  if (const auto target = Find(to)) {
    if (!replace) {
      errno = EEXIST;
      return false;
    }
    if (target->isDirectory != node->isDirectory) {
      errno = target->isDirectory ? EISDIR : ENOTDIR;
      return false;
    }
    if (target->isDirectory) {
      const std::string prefix = to + "/";
      auto it = entries_.lower_bound(prefix);
      if (it != entries_.end() && it->first.compare(0, prefix.size(), prefix) == 0) {
        errno = ENOTEMPTY;
        return false;
      }
    }
  }
  if (node->isDirectory && to.compare(0, from.size() + 1, from + "/") == 0) {
    errno = EINVAL;
    return false;
  }
  entries_[to] = node;
  entries_.erase(from);
  if (node->isDirectory) {
    // The entries below move along.
    const std::string prefix = from + "/";
    std::vector<std::pair<std::string, std::shared_ptr<TNode>>> moved;
    for (auto it = entries_.lower_bound(prefix);
         it != entries_.end() && it->first.compare(0, prefix.size(), prefix) == 0;) {
      moved.emplace_back(to + "/" + it->first.substr(prefix.size()), it->second);
      it = entries_.erase(it);
    }
    for (auto& [path, moving] : moved) entries_[path] = std::move(moving);
  }
  return true;
}

bool TMemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  return RenameEntry(from, to, true);
}

bool TMemoryFileSystem::RenameNoReplace(const std::string& from, const std::string& to) {
  return RenameEntry(from, to, false);
}

std::shared_ptr<TMemoryFileSystem::TNode> TMemoryFileSystem::FindDirectory(
    const std::string& path) const {
  auto node = Find(path);
  if (!node) {
    errno = ENOENT;
  } else if (!node->isDirectory) {
    errno = ENOTDIR;
    node.reset();
  }
  return node;
}

bool TMemoryFileSystem::List(const std::string& host, std::vector<THostEntry>& entries) {
  if (Fails(TFsCall::List)) return false;
  const std::string dir = Normalise(host);
  if (!FindDirectory(dir)) return false;
  const std::string prefix = dir == "/" ? "/" : dir + "/";
  for (auto it = entries_.lower_bound(prefix); it != entries_.end(); ++it) {
    if (it->first.compare(0, prefix.size(), prefix) != 0) break;
    const std::string rest = it->first.substr(prefix.size());
    if (rest.empty() || rest.find('/') != std::string::npos) continue;
    entries.push_back({rest, it->second->isDirectory});
  }
  return true;
}

bool TMemoryFileSystem::MakeDirectory(const std::string& host) {
  if (Fails(TFsCall::MakeDirectory)) return false;
  const std::string path = Normalise(host);
  if (Find(path)) {
    errno = EEXIST;
    return false;
  }
  if (!ParentReady(path)) return false;
  auto node = std::make_shared<TNode>();
  node->isDirectory = true;
  node->mode = 0755;
  node->inode = nextInode_++;
  node->writeTime = Clock();
  entries_[path] = node;
  return true;
}

bool TMemoryFileSystem::RemoveDirectory(const std::string& host) {
  if (Fails(TFsCall::RemoveDirectory)) return false;
  const std::string path = Normalise(host);
  if (!FindDirectory(path)) return false;
  const std::string prefix = path == "/" ? "/" : path + "/";
  auto it = entries_.lower_bound(prefix);
  if (path == "/" || (it != entries_.end() && it->first.compare(0, prefix.size(), prefix) == 0)) {
    errno = path == "/" ? EBUSY : ENOTEMPTY;
    return false;
  }
  entries_.erase(path);
  return true;
}

bool TMemoryFileSystem::SetMode(const std::string& host, uint32_t mode) {
  if (Fails(TFsCall::SetAttributes)) return false;
  const auto node = Find(Normalise(host));
  if (!node) {
    errno = ENOENT;
    return false;
  }
  node->mode = mode & 07777;
  return true;
}

bool TMemoryFileSystem::SetWriteTime(const std::string& host, int64_t writeTime) {
  if (Fails(TFsCall::SetAttributes)) return false;
  const auto node = Find(Normalise(host));
  if (!node) {
    errno = ENOENT;
    return false;
  }
  node->writeTime = writeTime;
  return true;
}

bool TMemoryFileSystem::CanCreateIn(const std::string& host) {
  const auto node = Find(Normalise(host));
  if (!node || !node->isDirectory || (node->mode & 0222) == 0) {
    errno = !node ? ENOENT : !node->isDirectory ? ENOTDIR : EACCES;
    return false;
  }
  return true;
}

std::string TMemoryFileSystem::ResolveLinks(const std::string& host) {
  const std::string path = Normalise(host);
  if (!Find(path)) {
    errno = ENOENT;
    return std::string();
  }
  return path;
}

}  // namespace tessel
