#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_system.h"
#include "platform/fresh_file.h"
#include "platform/host_path.h"

namespace tessel {

namespace {

[[noreturn]] void Refuse(const std::string& path, int error) {
  throw EFileError("Cannot open file \"" + path + "\": " + PlatformErrorText(error));
}

std::string TemporaryBeside(const std::string& host) {
  const size_t slash = host.rfind('/');
  const size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
  return host.substr(0, nameAt) + "." + host.substr(nameAt) + ".tmp";
}

}  // namespace

TFreshTextFile::TFreshTextFile(const std::string& path) : path_(path), host_(HostPath(path)) {
  if (host_.empty() || host_.back() == '/') Refuse(path, ENOENT);
  struct stat st;
  if (::stat(host_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) Refuse(path, EISDIR);
    // A read-only file refuses writers whoever we are, root included.
    if (S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      Refuse(path, EACCES);
    }
  }
  temp_ = TemporaryBeside(host_);
  // A temporary left by a run that crashed is ours to replace.
  ::unlink(temp_.c_str());
  fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    const int error = errno;
    temp_.clear();
    Refuse(path, error);
  }
}

TFreshTextFile::~TFreshTextFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

void TFreshTextFile::Close() {
  if (temp_.empty()) return;
  auto fail = [&](int error) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
    temp_.clear();
    throw EFileError("Write error on \"" + path_ + "\": " + PlatformErrorText(error));
  };
  for (size_t done = 0; done < text_.size();) {
    const ssize_t put = ::write(fd_, text_.data() + done, text_.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    done += static_cast<size_t>(put);
  }
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) fail(errno);
  // Removed first, so the rename replaces nothing (see the header).
  if (::unlink(host_.c_str()) != 0 && errno != ENOENT) fail(errno);
  if (::rename(temp_.c_str(), host_.c_str()) != 0) fail(errno);
  temp_.clear();
  DropDirectoryListings();
}

}  // namespace tessel
