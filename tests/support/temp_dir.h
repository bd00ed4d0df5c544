#pragma once
// A fresh temporary directory per test, removed afterwards.

#include <string>

namespace tessel::test {

class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  // Host path of the directory, without a trailing separator.
  const std::string& Path() const { return path_; }
  // Path + "/" + relative name.
  std::string File(const std::string& name) const;
  // Writes a file below the directory (creating sub-directories); returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace tessel::test
