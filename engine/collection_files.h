#pragma once
// Collection files (HEADER.TMP): a header's declarations gathered during a
// build, one per line followed by ";". Each file is kept in memory as long
// as it is unchanged on disk, so a script with thousands of declarations
// does not re-read a growing file for every one of them.

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "engine/line_index.h"
#include "platform/datetime.h"

namespace tessel {

class TCollectionFiles {
 public:
  TCollectionFiles();
  ~TCollectionFiles();
  TCollectionFiles(const TCollectionFiles&) = delete;
  TCollectionFiles& operator=(const TCollectionFiles&) = delete;

  // Appends the line declaration + ";" unless a line of the file already
  // contains the declaration; creates the file when it does not exist,
  // calling onCreate first. True when the file was written. Throws
  // EFileError when the file cannot be read, created or appended to.
  bool Collect(const std::string& path, const std::string& declaration,
               const std::function<void()>& onCreate = {});

  // Drops the view of one file, or of all of them, ahead of a change made
  // elsewhere. A change that was not announced is still found: a view is
  // used only while the file's size and date are those it last saw.
  void Forget(const std::string& path);
  void ForgetAll();

 private:
  struct TView {
    int64_t size = 0;
    TDateTime written = 0;
    bool endsWithLineEnd = true;
    TLineIndex lines;
  };

  static std::string Key(const std::string& path);
  // The current view of an existing file, read afresh when it changed.
  TView& ViewOf(const std::string& key, const std::string& path, int64_t size, TDateTime written);

  std::unordered_map<std::string, std::unique_ptr<TView>> views_;
};

}  // namespace tessel
