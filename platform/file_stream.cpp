#include "platform/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/host_path.h"

namespace tessel {

namespace {

std::string OpenErrorText(const std::string& path, int error) {
  return "Cannot open file \"" + path + "\": " + PlatformErrorText(error);
}

}  // namespace

TFile::TFile(const std::string& path, Mode mode) : path_(path) {
  const std::string host = HostPath(path);
  if (host.empty()) throw EFileError(OpenErrorText(path, ENOENT));
  int flags = O_CLOEXEC;
  const char* fmode = "rb";
  switch (mode) {
    case Mode::Read:
      flags |= O_RDONLY;
      fmode = "rb";
      break;
    case Mode::ReadWrite:
      flags |= O_RDWR;
      fmode = "r+b";
      break;
    case Mode::Create:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      fmode = "w+b";
      break;
    case Mode::Append:
      flags |= O_WRONLY | O_CREAT | O_APPEND;
      fmode = "ab";
      break;
  }
  struct stat st;
  const bool existed = ::stat(host.c_str(), &st) == 0;
  if (existed) {
    if (S_ISDIR(st.st_mode)) throw EFileError(OpenErrorText(path, EISDIR));
    // A read-only file refuses writers whoever we are, root included.
    if (mode != Mode::Read && S_ISREG(st.st_mode) &&
        (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      throw EFileError(OpenErrorText(path, EACCES));
    }
  }
  const int fd = ::open(host.c_str(), flags, 0666);
  if (fd < 0) throw EFileError(OpenErrorText(path, errno));
  // A new entry: listings kept by the path mapping no longer hold.
  if (!existed && mode != Mode::Read) DropDirectoryListings();
  file_ = ::fdopen(fd, fmode);
  if (file_ == nullptr) {
    const int error = errno;
    ::close(fd);
    throw EFileError(OpenErrorText(path, error));
  }
}

TFile::~TFile() {
  if (file_ != nullptr) std::fclose(file_);
}

TFile::TFile(TFile&& other) noexcept : file_(other.file_), path_(std::move(other.path_)) {
  other.file_ = nullptr;
  lastWasWrite_ = other.lastWasWrite_;
}

TFile& TFile::operator=(TFile&& other) noexcept {
  if (this != &other) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = other.file_;
    path_ = std::move(other.path_);
    lastWasWrite_ = other.lastWasWrite_;
    other.file_ = nullptr;
  }
  return *this;
}

void TFile::Fail(const char* what) const {
  const int error = errno;
  throw EFileError(std::string(what) + " \"" + path_ + "\": " + PlatformErrorText(error));
}

void TFile::Check(const char* what) const {
  if (file_ == nullptr) {
    errno = EBADF;
    Fail(what);
  }
}

size_t TFile::Read(void* buffer, size_t count) {
  Check("Read error on");
  if (count == 0) return 0;
  if (lastWasWrite_ && std::fflush(file_) != 0) Fail("Write error on");
  lastWasWrite_ = false;
  const size_t got = std::fread(buffer, 1, count, file_);
  if (got < count && std::ferror(file_)) {
    std::clearerr(file_);
    Fail("Read error on");
  }
  std::clearerr(file_);  // an end of file must not stick to later reads
  return got;
}

void TFile::ReadExact(void* buffer, size_t count) {
  if (Read(buffer, count) != count) throw EFileError("Read beyond end of file");
}

void TFile::Write(const void* buffer, size_t count) {
  Check("Write error on");
  if (count == 0) return;
  // C streams need a positioning call between a read and a write.
  if (!lastWasWrite_ && std::fseek(file_, 0, SEEK_CUR) != 0) Fail("Write error on");
  lastWasWrite_ = true;
  if (std::fwrite(buffer, 1, count, file_) != count) {
    std::clearerr(file_);
    Fail("Write error on");
  }
}

void TFile::Seek(int64_t position) {
  Check("Seek error on");
  if (position < 0) {
    errno = EINVAL;
    Fail("Seek error on");
  }
  if (::fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) Fail("Seek error on");
  lastWasWrite_ = false;
}

int64_t TFile::Position() const {
  Check("Seek error on");
  const off_t pos = ::ftello(file_);
  if (pos < 0) Fail("Seek error on");
  return static_cast<int64_t>(pos);
}

int64_t TFile::Size() const {
  Check("Read error on");
  if (std::fflush(file_) != 0) Fail("Write error on");
  struct stat st;
  if (::fstat(::fileno(file_), &st) != 0) Fail("Read error on");
  return static_cast<int64_t>(st.st_size);
}

void TFile::Truncate(int64_t size) {
  Check("Write error on");
  if (std::fflush(file_) != 0) Fail("Write error on");
  if (::ftruncate(::fileno(file_), static_cast<off_t>(size)) != 0) Fail("Write error on");
}

void TFile::Flush() {
  Check("Write error on");
  if (std::fflush(file_) != 0) Fail("Write error on");
}

void TFile::Close() {
  if (file_ == nullptr) return;
  std::FILE* file = file_;
  file_ = nullptr;
  // Buffered data is written here; losing it silently would lose the file.
  if (std::fclose(file) != 0) Fail("Write error on");
}

// --- TTextReader -----------------------------------------------------------

TTextReader::TTextReader(const std::string& path) : file_(path, TFile::Mode::Read) {}

bool TTextReader::Fill() {
  if (eof_) return false;
  if (pos_ > 0) {
    buffer_.erase(0, pos_);
    pos_ = 0;
  }
  char chunk[1 << 16];
  const size_t got = file_.Read(chunk, sizeof chunk);
  if (got == 0) {
    eof_ = true;
    return false;
  }
  buffer_.append(chunk, got);
  return true;
}

bool TTextReader::Eof() {
  while (pos_ >= buffer_.size()) {
    if (!Fill()) return true;
  }
  return false;
}

bool TTextReader::ReadLine(std::string& line) {
  size_t searchFrom = pos_;
  for (;;) {
    const size_t lf = buffer_.find('\n', searchFrom);
    if (lf != std::string::npos) {
      size_t end = lf;
      if (end > pos_ && buffer_[end - 1] == '\r') --end;
      line.assign(buffer_, pos_, end - pos_);
      pos_ = lf + 1;
      return true;
    }
    const size_t scanned = buffer_.size() - pos_;
    if (!Fill()) break;
    searchFrom = scanned;  // Fill moved the unread rest to the front
  }
  if (pos_ >= buffer_.size()) return false;
  line.assign(buffer_, pos_, std::string::npos);
  pos_ = buffer_.size();
  return true;
}

// --- TTextWriter -----------------------------------------------------------

TTextWriter::TTextWriter(const std::string& path, bool append)
    : file_(path, append ? TFile::Mode::Append : TFile::Mode::Create) {}

void TTextWriter::Write(const std::string& text) { file_.Write(text); }

void TTextWriter::WriteLine(const std::string& line) {
  file_.Write(line);
  file_.Write("\r\n", 2);
}

void TTextWriter::Flush() { file_.Flush(); }

void TTextWriter::Close() { file_.Close(); }

}  // namespace tessel
