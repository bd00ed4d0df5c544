#pragma once
// A per-run file (the options file of a tool run) written as a new file
// rather than truncated in place: the text goes to a temporary beside it,
// the old file is removed and the temporary takes its name. Truncating a
// file in place, or renaming over it, makes some file systems write it to
// the disk at once, which costs more than starting the tool that reads it.
// A crash never leaves a half-written file under the name.

#include <memory>
#include <string>

#include "platform/host_file_system.h"

namespace tessel {

class TFreshTextFile {
 public:
  // Refuses (EFileError, as opening for writing would) a read-only file or
  // a directory at the path, and a directory that cannot take a new file.
  explicit TFreshTextFile(const std::string& path);
  // Without Close the temporary goes and the old file stays.
  ~TFreshTextFile();
  TFreshTextFile(const TFreshTextFile&) = delete;
  TFreshTextFile& operator=(const TFreshTextFile&) = delete;

  void Write(const std::string& text) { text_ += text; }
  void WriteLine(const std::string& line) {
    text_ += line;
    text_ += "\r\n";
  }
  // Writes the text and puts the file in place; throws EFileError.
  void Close();

 private:
  std::string path_;                 // as the system names it
  std::string host_;                 // host path of the file
  std::string temp_;                 // host path of the temporary; empty once closed
  std::unique_ptr<TOpenFile> file_;  // the temporary, open for writing
  std::string text_;
};

}  // namespace tessel
