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
  TFileSystem& fs = CurrentFileSystem();
  TFileInfo info;
  if (fs.Stat(host_, info)) {
    if (info.isDirectory) Refuse(path, EISDIR);
    // A read-only file refuses writers whoever we are, root included.
    if (info.ReadOnly()) Refuse(path, EACCES);
  }
  temp_ = TemporaryBeside(host_);
  // A temporary left by a run that crashed is ours to replace; when it
  // cannot go, the exclusive create below says why.
  fs.Remove(temp_);
  file_ = fs.Open(temp_, TOpenMode::CreateNew);
  if (!file_) {
    const int error = errno;
    temp_.clear();
    Refuse(path, error);
  }
}

TFreshTextFile::~TFreshTextFile() {
  if (file_) file_->Close();  // abandoned: whatever it holds goes with it
  if (!temp_.empty()) CurrentFileSystem().Remove(temp_);
}

void TFreshTextFile::Close() {
  if (temp_.empty()) return;
  TFileSystem& fs = CurrentFileSystem();
  auto fail = [&](int error) {
    if (file_) file_->Close();  // the failure at hand is the one to report
    file_.reset();
    fs.Remove(temp_);
    temp_.clear();
    throw EFileError("Write error on \"" + path_ + "\": " + PlatformErrorText(error));
  };
  if (!file_->Write(text_.data(), text_.size())) fail(errno);
  const bool closed = file_->Close();
  file_.reset();
  if (!closed) fail(errno);
  // Removed first, so the rename replaces nothing (see the header).
  if (!fs.Remove(host_) && errno != ENOENT) fail(errno);
  if (!fs.Rename(temp_, host_)) fail(errno);
  temp_.clear();
  DropDirectoryListings();
}

}  // namespace tessel
