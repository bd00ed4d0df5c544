#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/atomic_file.h"
#include "platform/host_file_system.h"
#include "platform/host_path.h"

namespace tessel {

namespace {

std::string RefusedText(const std::string& path, int error) {
  return "Cannot create file \"" + path + "\": " + PlatformErrorText(error);
}

// The file a rename must replace: through a link to its final name, so the
// link stays a link.
std::string RenameTarget(TFileSystem& fs, const std::string& host) {
  TFileInfo info;
  if (fs.LinkStat(host, info) && info.isLink) {
    std::string target = fs.ResolveLinks(host);
    if (!target.empty()) return target;
  }
  return host;
}

std::string DirectoryOf(const std::string& host) {
  const size_t slash = host.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return host.substr(0, slash);
}

std::string NameOf(const std::string& host) {
  const size_t slash = host.rfind('/');
  return slash == std::string::npos ? host : host.substr(slash + 1);
}

bool& SyncBeforeReplace() {
  static bool sync = true;
  return sync;
}

}  // namespace

void SetSyncBeforeReplace(bool sync) { SyncBeforeReplace() = sync; }

TAtomicFile::TAtomicFile(const std::string& path, TSync sync) : path_(path), sync_(sync) {
  const std::string host = HostPath(path);
  if (host.empty() || host.back() == '/') throw EFileError(RefusedText(path, ENOENT));
  TFileSystem& fs = CurrentFileSystem();
  target_ = RenameTarget(fs, host);
  TFileInfo info;
  if (fs.Stat(target_, info)) {
    if (info.isDirectory) throw EFileError(RefusedText(path, EISDIR));
    // A read-only file refuses writers whoever we are, and a rename would
    // not ask.
    if (info.ReadOnly()) throw EFileError(RefusedText(path, EACCES));
    mode_ = static_cast<int>(info.mode);
  }
  // A directory without write bits takes no new file, whoever we are, as
  // the read-only flag of a file holds for every user.
  if (fs.Stat(DirectoryOf(target_), info) && info.ReadOnly()) {
    throw EFileError(RefusedText(path, EACCES));
  }
  static std::atomic<unsigned> counter{0};
  const std::string stem = DirectoryOf(target_) + "/." + NameOf(target_) + ".";
  for (int attempt = 0;; ++attempt) {
    temp_ = stem + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    if (std::unique_ptr<TOpenFile> created = fs.Open(temp_, TOpenMode::CreateNew)) {
      // Errors name the output: the temporary is ours, not the user's.
      file_ = TFile(path_, std::move(created));
      break;
    }
    if (errno != EEXIST || attempt > 100) {
      const int error = errno;
      temp_.clear();
      throw EFileError(RefusedText(path, error));
    }
  }
}

TAtomicFile::~TAtomicFile() { Discard(); }

TAtomicFile::TAtomicFile(TAtomicFile&& other) noexcept
    : path_(std::move(other.path_)),
      target_(std::move(other.target_)),
      temp_(std::move(other.temp_)),
      mode_(other.mode_),
      sync_(other.sync_),
      file_(std::move(other.file_)) {
  other.temp_.clear();
}

TAtomicFile& TAtomicFile::operator=(TAtomicFile&& other) noexcept {
  if (this != &other) {
    Discard();
    path_ = std::move(other.path_);
    target_ = std::move(other.target_);
    temp_ = std::move(other.temp_);
    mode_ = other.mode_;
    sync_ = other.sync_;
    file_ = std::move(other.file_);
    other.temp_.clear();
  }
  return *this;
}

void TAtomicFile::Commit() {
  if (temp_.empty()) throw EFileError(RefusedText(path_, EBADF));
  try {
    if (sync_ == TSync::Durable && SyncBeforeReplace()) file_.Sync();
    file_.Close();
    TFileSystem& fs = CurrentFileSystem();
    if (mode_ >= 0 && !fs.SetMode(temp_, static_cast<uint32_t>(mode_))) {
      throw EFileError(RefusedText(path_, errno));
    }
    if (!fs.Rename(temp_, target_)) throw EFileError(RefusedText(path_, errno));
  } catch (...) {
    Discard();
    throw;
  }
  temp_.clear();
  // A new output is a new entry: listings kept by the path mapping no longer
  // hold (a replaced one kept its name).
  if (mode_ < 0) RefreshDirectoryListings();
}

void TAtomicFile::Discard() {
  if (temp_.empty()) return;
  const int saved = errno;
  try {
    file_.Close();
  } catch (const EFileError&) {
    // The temporary goes anyway.
  }
  // Nothing more can be done about a temporary that will not go; its
  // dotted name keeps it out of the way.
  CurrentFileSystem().Remove(temp_);
  temp_.clear();
  errno = saved;
}

void WriteFileAtomic(const std::string& path, const std::string& data) {
  TAtomicFile file(path);
  file.File().Write(data);
  file.Commit();
}

}  // namespace tessel
