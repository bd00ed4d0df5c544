#include "platform/file_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/file_system.h"
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
  TFileSystem& fs = CurrentFileSystem();
  TFileInfo info;
  const bool existed = fs.Stat(host, info);
  if (existed) {
    if (info.isDirectory) throw EFileError(OpenErrorText(path, EISDIR));
    // A read-only file refuses writers whoever we are, root included.
    if (mode != Mode::Read && info.ReadOnly()) throw EFileError(OpenErrorText(path, EACCES));
  }
  TOpenMode openMode = TOpenMode::Read;
  switch (mode) {
    case Mode::Read:
      openMode = TOpenMode::Read;
      break;
    case Mode::ReadWrite:
      openMode = TOpenMode::ReadWrite;
      break;
    case Mode::Create:
      openMode = TOpenMode::Create;
      break;
    case Mode::Append:
      openMode = TOpenMode::Append;
      break;
  }
  file_ = fs.Open(host, openMode);
  if (!file_) throw EFileError(OpenErrorText(path, errno));
  // A new entry: listings kept by the path mapping no longer hold.
  if (!existed && mode != Mode::Read) RefreshDirectoryListings();
}

TFile::TFile(const std::string& path, std::unique_ptr<TOpenFile> file)
    : file_(std::move(file)), path_(path) {}

TFile::~TFile() = default;

TFile::TFile(TFile&& other) noexcept = default;

TFile& TFile::operator=(TFile&& other) noexcept = default;

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
  const int64_t got = file_->Read(buffer, count);
  if (got < 0) Fail("Read error on");
  return static_cast<size_t>(got);
}

void TFile::ReadExact(void* buffer, size_t count) {
  if (Read(buffer, count) != count) throw EFileError("Read beyond end of file");
}

void TFile::Write(const void* buffer, size_t count) {
  Check("Write error on");
  if (count == 0) return;
  if (!file_->Write(buffer, count)) Fail("Write error on");
}

void TFile::Seek(int64_t position) {
  Check("Seek error on");
  if (!file_->Seek(position)) Fail("Seek error on");
}

int64_t TFile::Position() const {
  Check("Seek error on");
  const int64_t pos = file_->Position();
  if (pos < 0) Fail("Seek error on");
  return pos;
}

int64_t TFile::Size() const {
  Check("Read error on");
  const int64_t size = file_->Size();
  if (size < 0) Fail("Read error on");
  return size;
}

void TFile::Truncate(int64_t size) {
  Check("Write error on");
  if (!file_->Truncate(size)) Fail("Write error on");
}

void TFile::Flush() {
  Check("Write error on");
  if (!file_->Flush()) Fail("Write error on");
}

void TFile::Sync() {
  Check("Write error on");
  if (!file_->Sync()) Fail("Write error on");
}

void TFile::Close() {
  if (file_ == nullptr) return;
  std::unique_ptr<TOpenFile> file = std::move(file_);
  // Buffered data is written here; losing it silently would lose the file.
  if (!file->Close()) Fail("Write error on");
}

int64_t TFile::CopyFrom(TFile& source, int64_t count) {
  Check("Write error on");
  source.Check("Read error on");
  if (count <= 0) return 0;
  if (SameFileAs(source)) {
    // A file copied into itself is read whole first, as overlapping ranges
    // would otherwise read bytes already overwritten.
    const int64_t in = source.Position();
    const int64_t out = Position();
    std::string bytes(static_cast<size_t>(count), '\0');
    source.Seek(in);
    const size_t done = source.Read(bytes.data(), bytes.size());
    Seek(out);
    Write(bytes.data(), done);
    return static_cast<int64_t>(done);
  }
  bool sourceFailed = false;
  const int64_t done = file_->CopyFrom(*source.file_, count, sourceFailed);
  if (done < 0) {
    if (sourceFailed) source.Fail("Read error on");
    Fail("Write error on");
  }
  return done;
}

bool TFile::SameFileAs(const TFile& other) const {
  TFileInfo a, b;
  return file_->Stat(a) && other.file_->Stat(b) && a.device == b.device && a.inode == b.inode;
}

// --- TTextReader -----------------------------------------------------------

TTextReader::TTextReader(const std::string& path) : file_(path, TFile::Mode::Read) {}

bool TTextReader::Fill() {
  if (eof_) return false;
  // The unread rest to the front, then a block read straight behind it:
  // no copy through a buffer of its own, and nothing filled in first.
  constexpr size_t kChunk = 1 << 16;
  if (pos_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + pos_, size_ - pos_);
    size_ -= pos_;
    pos_ = 0;
  }
  if (capacity_ - size_ < kChunk) {
    const size_t capacity = std::max(2 * capacity_, size_ + kChunk);
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (size_ > 0) std::memcpy(grown.get(), buffer_.get(), size_);
    buffer_ = std::move(grown);
    capacity_ = capacity;
  }
  const size_t got = file_.Read(buffer_.get() + size_, kChunk);
  size_ += got;
  if (got == 0) {
    eof_ = true;
    return false;
  }
  return true;
}

bool TTextReader::Eof() {
  while (pos_ >= size_) {
    if (!Fill()) return true;
  }
  return false;
}

bool TTextReader::ReadLine(std::string& line) {
  size_t searchFrom = pos_;
  for (;;) {
    const char* data = buffer_.get();
    const void* found =
        size_ > searchFrom ? std::memchr(data + searchFrom, '\n', size_ - searchFrom) : nullptr;
    if (found != nullptr) {
      const size_t lf = static_cast<size_t>(static_cast<const char*>(found) - data);
      size_t end = lf;
      if (end > pos_ && data[end - 1] == '\r') --end;
      line.assign(data + pos_, end - pos_);
      pos_ = lf + 1;
      return true;
    }
    const size_t scanned = size_ - pos_;
    if (!Fill()) break;
    searchFrom = scanned;  // Fill moved the unread rest to the front
  }
  if (pos_ >= size_) return false;
  line.assign(buffer_.get() + pos_, size_ - pos_);
  pos_ = size_;
  return true;
}

// --- TTextWriter -----------------------------------------------------------

TTextWriter::TTextWriter(const std::string& path, bool append)
    : file_(path, append ? TFile::Mode::Append : TFile::Mode::Create) {}

TTextWriter TTextWriter::Over(const std::string& path) {
  if (FileExists(path)) {
    try {
      return TTextWriter(TFile(path, TFile::Mode::ReadWrite));
    } catch (const EFileError&) {
      // Gone in between, or refused: creating it says which.
    }
  }
  return TTextWriter(path);
}

bool TTextWriter::CutHere() {
  try {
    file_.Flush();
    const int64_t at = file_.Position();
    if (file_.Size() > at) file_.Truncate(at);
    return true;
  } catch (const EFileError&) {
    return false;
  }
}

void TTextWriter::Write(const std::string& text) { file_.Write(text); }

void TTextWriter::WriteLine(const std::string& line) {
  file_.Write(line);
  file_.Write("\r\n", 2);
}

void TTextWriter::Flush() { file_.Flush(); }

void TTextWriter::Close() { file_.Close(); }

}  // namespace tessel
