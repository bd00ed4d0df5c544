#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/atomic_file.h"
#include "platform/host_path.h"

namespace tessel {

namespace {

std::string RefusedText(const std::string& path, int error) {
  return "Cannot create file \"" + path + "\": " + PlatformErrorText(error);
}

// The file a rename must replace: through a link to its final name, so the
// link stays a link.
std::string RenameTarget(const std::string& host) {
  struct stat st;
  if (::lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* resolved = ::realpath(host.c_str(), nullptr)) {
      std::string target = resolved;
      ::free(resolved);
      return target;
    }
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

TAtomicFile::TAtomicFile(const std::string& path) : path_(path) {
  const std::string host = HostPath(path);
  if (host.empty() || host.back() == '/') throw EFileError(RefusedText(path, ENOENT));
  target_ = RenameTarget(host);
  struct stat st;
  if (::stat(target_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throw EFileError(RefusedText(path, EISDIR));
    // A read-only file refuses writers whoever we are, and a rename would
    // not ask.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      throw EFileError(RefusedText(path, EACCES));
    }
    mode_ = static_cast<int>(st.st_mode & 07777);
  }
  // A directory without write bits takes no new file, whoever we are, as
  // the read-only flag of a file holds for every user.
  if (::stat(DirectoryOf(target_).c_str(), &st) == 0 &&
      (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    throw EFileError(RefusedText(path, EACCES));
  }
  static std::atomic<unsigned> counter{0};
  const std::string stem = DirectoryOf(target_) + "/." + NameOf(target_) + ".";
  for (int attempt = 0;; ++attempt) {
    temp_ = stem + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    const int fd = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      break;
    }
    if (errno != EEXIST || attempt > 100) {
      const int error = errno;
      temp_.clear();
      throw EFileError(RefusedText(path, error));
    }
  }
  try {
    file_ = TFile(temp_, TFile::Mode::ReadWrite);
  } catch (...) {
    Discard();
    throw;
  }
}

TAtomicFile::~TAtomicFile() { Discard(); }

TAtomicFile::TAtomicFile(TAtomicFile&& other) noexcept
    : path_(std::move(other.path_)),
      target_(std::move(other.target_)),
      temp_(std::move(other.temp_)),
      mode_(other.mode_),
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
    file_ = std::move(other.file_);
    other.temp_.clear();
  }
  return *this;
}

void TAtomicFile::Commit() {
  if (temp_.empty()) throw EFileError(RefusedText(path_, EBADF));
  try {
    if (SyncBeforeReplace()) file_.Sync();
    file_.Close();
    if (mode_ >= 0 && ::chmod(temp_.c_str(), static_cast<mode_t>(mode_)) != 0) {
      throw EFileError(RefusedText(path_, errno));
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
      throw EFileError(RefusedText(path_, errno));
    }
  } catch (...) {
    Discard();
    throw;
  }
  temp_.clear();
}

void TAtomicFile::Discard() {
  if (temp_.empty()) return;
  const int saved = errno;
  try {
    file_.Close();
  } catch (const EFileError&) {
    // The temporary goes anyway.
  }
  ::unlink(temp_.c_str());
  temp_.clear();
  errno = saved;
}

void WriteFileAtomic(const std::string& path, const std::string& data) {
  TAtomicFile file(path);
  file.File().Write(data);
  file.Commit();
}

}  // namespace tessel
