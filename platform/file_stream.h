#pragma once
// RAII file handles on system paths. Every failure to open, read or write
// raises EFileError naming the file and the platform's reason.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/host_file_system.h"

namespace tessel {

// A binary file with one position for reads and writes.
class TFile {
 public:
  enum class Mode {
    Read,       // existing file, read only
    ReadWrite,  // existing file, read and write, position 0
    Create,     // created or truncated, read and write
    Append,     // created when missing, writes go to the end
  };

  TFile() = default;
  TFile(const std::string& path, Mode mode);  // throws EFileError
  // A file the current file system has opened already.
  TFile(const std::string& path, std::unique_ptr<TOpenFile> file);
  ~TFile();
  TFile(TFile&& other) noexcept;
  TFile& operator=(TFile&& other) noexcept;
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }

  // Reads up to `count` bytes; returns how many were read (short at the end).
  size_t Read(void* buffer, size_t count);
  // Reads exactly `count` bytes or throws EFileError ("Read beyond end of file").
  void ReadExact(void* buffer, size_t count);
  void Write(const void* buffer, size_t count);  // throws on failure
  void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
  void Seek(int64_t position);
  int64_t Position() const;
  int64_t Size() const;
  void Truncate(int64_t size);  // position unchanged
  void Flush();
  // Flushes and waits until the data is on the disk.
  void Sync();
  void Close();  // idempotent
  // Copies up to `count` bytes from the source's position to this file's
  // position, in large blocks (by the kernel where it can), without holding
  // them; both positions move behind the bytes. Stops early at the end of
  // the source and returns how many bytes were copied. Throws EFileError.
  int64_t CopyFrom(TFile& source, int64_t count);

 private:
  [[noreturn]] void Fail(const char* what) const;
  void Check(const char* what) const;  // throws when no file is open
  bool SameFileAs(const TFile& other) const;
  std::unique_ptr<TOpenFile> file_;
  std::string path_;
};

// Reads a text file line by line: CR LF and LF alone end a line; the line is
// returned without its line end; a last line without line end counts.
class TTextReader {
 public:
  explicit TTextReader(const std::string& path);  // throws EFileError
  bool Eof();
  // False at the end of the file.
  bool ReadLine(std::string& line);

 private:
  TFile file_;
  std::unique_ptr<char[]> buffer_;  // size_ bytes read, of capacity_
  size_t capacity_ = 0;
  size_t size_ = 0;
  size_t pos_ = 0;  // of the first byte not yet read out
  bool eof_ = false;
  bool Fill();
};

// Writes a text file; WriteLine ends each line with CR LF.
class TTextWriter {
 public:
  explicit TTextWriter(const std::string& path, bool append = false);  // throws
  // Written from the start over what the file holds, without emptying it
  // first: emptying a file in place makes some file systems free its
  // blocks and send it to the disk at once, which costs more than a small
  // build. CutHere drops what is left of the old text. Throws as the
  // constructor does.
  static TTextWriter Over(const std::string& path);
  // Ends the file at the position; false when that is not possible (a
  // device or a pipe, which hold nothing to drop).
  bool CutHere();
  void Write(const std::string& text);
  void WriteLine(const std::string& line);
  void Flush();
  void Close();

 private:
  explicit TTextWriter(TFile file) : file_(std::move(file)) {}
  TFile file_;
};

}  // namespace tessel
