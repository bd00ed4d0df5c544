#pragma once
// Outputs written as a whole or not at all. The bytes go to a temporary file
// in the output's own directory, which replaces the output by one rename when
// it is complete, so a crash or kill at any moment leaves either the old file
// or the new one, never a half-written one.
//
// The output keeps the permission bits of the file it replaces; a read-only
// output, a directory in its place or a directory that cannot take a new file
// (no write bits count as read-only for every user) is refused with
// EFileError naming the output, before anything is written. A kill leaves at
// most a temporary ".NAME.*.tmp" beside the output.

#include <string>

#include "platform/file_stream.h"

namespace tessel {

// Whether Commit waits until the data is on the disk before the rename (the
// default), so that even a power loss leaves the old file or the new one.
// Harnesses that run millions of writes in a scratch directory (the fuzz
// targets) turn it off; a killed process is safe either way.
void SetSyncBeforeReplace(bool sync);

// The whole file at once.
void WriteFileAtomic(const std::string& path, const std::string& data);

// A file written piece by piece that appears under its name only at Commit.
class TAtomicFile {
 public:
  // Whether Commit waits for the disk (as SetSyncBeforeReplace allows).
  // Transient is for an output its writer goes on to change in place after
  // the commit: a power loss could leave it half-changed whatever the
  // commit did, so waiting for the disk there buys nothing.
  enum class TSync { Durable, Transient };

  explicit TAtomicFile(const std::string& path,
                       TSync sync = TSync::Durable);  // throws EFileError
  // Without Commit the temporary goes and the output stays as it was.
  ~TAtomicFile();
  TAtomicFile(TAtomicFile&& other) noexcept;
  TAtomicFile& operator=(TAtomicFile&& other) noexcept;
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  TFile& File() { return file_; }
  const std::string& Path() const { return path_; }
  // Writes the data through to the disk (Durable) and renames it into place.
  void Commit();
  // Drops the temporary; idempotent.
  void Discard();

 private:
  std::string path_;    // the output, as the system names it
  std::string target_;  // host path the rename replaces
  std::string temp_;    // host path of the temporary
  int mode_ = -1;       // permission bits to give the new file, -1 = default
  TSync sync_ = TSync::Durable;
  TFile file_;
};

// A text file written line by line (CR LF) that appears at Commit.
class TAtomicTextWriter {
 public:
  explicit TAtomicTextWriter(const std::string& path) : file_(path) {}
  void Write(const std::string& text) { file_.File().Write(text); }
  void WriteLine(const std::string& line) {
    file_.File().Write(line);
    file_.File().Write("\r\n", 2);
  }
  void Commit() { file_.Commit(); }

 private:
  TAtomicFile file_;
};

}  // namespace tessel
