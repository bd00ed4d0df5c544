#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/directory_watch.h"

namespace tessel {

int TDirectoryWatch::Watch(const std::string& hostDirectory) {
  if (fd_ < 0) fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) return -1;
  constexpr uint32_t kMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                             IN_MOVE_SELF | IN_ONLYDIR;
  return ::inotify_add_watch(fd_, hostDirectory.c_str(), kMask);
}

bool TDirectoryWatch::Take(std::vector<TChange>& changes) {
  if (fd_ < 0) return true;
  alignas(inotify_event) char buffer[1 << 16];
  bool complete = true;
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return complete && errno == EAGAIN;
    }
    if (got == 0) return false;
    for (ssize_t at = 0; at < got;) {
      inotify_event event;
      std::memcpy(&event, buffer + at, sizeof event);
      const char* name = buffer + at + sizeof event;
      at += static_cast<ssize_t>(sizeof event + event.len);
      if (event.mask & IN_Q_OVERFLOW) {
        complete = false;
        continue;
      }
      TChange change;
      change.watch = event.wd;
      if (event.mask & (IN_CREATE | IN_MOVED_TO)) {
        change.kind = TChange::TKind::Added;
      } else if (event.mask & (IN_DELETE | IN_MOVED_FROM)) {
        change.kind = TChange::TKind::Removed;
      } else if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) {
        change.kind = TChange::TKind::Gone;
      } else {
        continue;
      }
      if (event.len > 0) change.name.assign(name, ::strnlen(name, event.len));
      changes.push_back(std::move(change));
    }
  }
}

void TDirectoryWatch::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace tessel
