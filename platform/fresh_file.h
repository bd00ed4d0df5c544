#pragma once
// A per-run file (the options file of a tool run) rewritten in place: the
// text is kept until Close, then written over the old bytes from the start
// and the file cut to its length. A file that already exists keeps its
// entry, so a tool run costs no new file: on some file systems making one
// costs more than starting the tool that reads it, and truncating a file to
// nothing (or renaming over it) sends it to the disk at once.
//
// A file that cannot be written whole fails its step, so no tool reads it;
// the next run writes it afresh.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/host_file_system.h"

namespace tessel {

class TFreshTextFile {
 public:
  // Refuses (EFileError, as opening for writing would) a read-only file or
  // a directory at the path, and a missing file where none can be made.
  explicit TFreshTextFile(const std::string& path);
  // Without Close the file stays as it was (one made here goes again).
  ~TFreshTextFile();
  TFreshTextFile(const TFreshTextFile&) = delete;
  TFreshTextFile& operator=(const TFreshTextFile&) = delete;

  void Write(const std::string& text) { text_ += text; }
  void WriteLine(const std::string& line) {
    text_ += line;
    text_ += "\r\n";
  }
  // Writes the text in place of the old one; throws EFileError.
  void Close();

 private:
  std::string path_;                 // as the system names it
  std::string host_;                 // host path of the file
  std::unique_ptr<TOpenFile> file_;  // open for writing until Close
  bool created_ = false;             // the file did not exist before
  std::string text_;
};

}  // namespace tessel
