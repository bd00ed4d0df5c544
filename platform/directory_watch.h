#pragma once
// What the system reports of names added to and removed from directories,
// so that kept directory listings can follow the changes a tool makes
// instead of being read again after every tool run.

#include <string>
#include <vector>

namespace tessel {

class TDirectoryWatch {
 public:
  TDirectoryWatch() = default;
  ~TDirectoryWatch() { Close(); }
  TDirectoryWatch(const TDirectoryWatch&) = delete;
  TDirectoryWatch& operator=(const TDirectoryWatch&) = delete;

  struct TChange {
    enum class TKind { Added, Removed, Gone };  // Gone: the directory itself
    int watch = -1;
    TKind kind = TKind::Added;
    std::string name;
  };

  // Starts reporting on a host directory (a link is followed); the same
  // directory gives the same number. -1 when the system cannot report on it.
  int Watch(const std::string& hostDirectory);
  // Appends the changes reported since the last call, in order; false when
  // some were lost, so that nothing kept can be trusted.
  bool Take(std::vector<TChange>& changes);
  // Ends every watch; numbers given before mean nothing afterwards.
  void Close();

 private:
  int fd_ = -1;
};

}  // namespace tessel
