#include <cerrno>

#include "platform/file_system.h"
#include "platform/fresh_file.h"
#include "platform/host_path.h"
#include "platform/host_path_posix.h"

namespace tessel {

namespace {

[[noreturn]] void Refuse(const std::string& path, int error) {
  throw EFileError("Cannot open file \"" + path + "\": " + PlatformErrorText(error));
}

}  // namespace

TFreshTextFile::TFreshTextFile(const std::string& path) : path_(path) {
  TFileInfo info;
  THostStat found;
  host_ = HostPathStat(path, info, found);
  if (host_.empty() || host_.back() == '/') Refuse(path, ENOENT);
  TFileSystem& fs = CurrentFileSystem();
  const bool exists =
      found == THostStat::Found || (found == THostStat::Unknown && fs.Stat(host_, info));
  if (exists) {
    if (info.isDirectory) Refuse(path, EISDIR);
    // A read-only file refuses writers whoever we are, root included.
    if (info.ReadOnly()) Refuse(path, EACCES);
    file_ = fs.Open(host_, TOpenMode::ReadWrite);
  } else {
    file_ = fs.Open(host_, TOpenMode::CreateNew);
    created_ = file_ != nullptr;
  }
  if (!file_) Refuse(path, errno);
}

TFreshTextFile::~TFreshTextFile() {
  if (!file_) return;
  file_->Close();  // abandoned: nothing was written
  if (created_) CurrentFileSystem().Remove(host_);
}

void TFreshTextFile::Close() {
  if (!file_) return;
  TFileSystem& fs = CurrentFileSystem();
  auto fail = [&](int error) {
    if (file_) file_->Close();  // the failure at hand is the one to report
    file_.reset();
    if (created_) fs.Remove(host_);
    throw EFileError("Write error on \"" + path_ + "\": " + PlatformErrorText(error));
  };
  if (!file_->Write(text_.data(), text_.size())) fail(errno);
  // The old text may be longer: its tail goes.
  const int64_t size = file_->Size();
  if (size < 0) fail(errno);
  if (size > static_cast<int64_t>(text_.size()) &&
      !file_->Truncate(static_cast<int64_t>(text_.size()))) {
    fail(errno);
  }
  const bool closed = file_->Close();
  file_.reset();
  if (!closed) fail(errno);
  // A new entry: listings kept by the path mapping no longer hold.
  if (created_) RefreshDirectoryListings();
}

}  // namespace tessel
