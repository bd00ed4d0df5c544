// TFile::CopyFrom: file-to-file copies that never hold the whole file.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/file_stream.h"

namespace tessel {

namespace {

constexpr size_t kCopyBlock = 1 << 16;
constexpr size_t kKernelCopyBlock = 1 << 24;

bool SameInode(int a, int b) {
  struct stat sa, sb;
  return ::fstat(a, &sa) == 0 && ::fstat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

}  // namespace

int64_t TFile::CopyFrom(TFile& source, int64_t count) {
  Check("Write error on");
  source.Check("Read error on");
  if (count <= 0) return 0;
  // Positions as the streams see them, buffered bytes included.
  off_t in = static_cast<off_t>(source.Position());
  off_t out = static_cast<off_t>(Position());
  if (std::fflush(file_) != 0) Fail("Write error on");
  const int from = ::fileno(source.file_);
  const int to = ::fileno(file_);

  int64_t done = 0;
  if (SameInode(from, to)) {
    // A file copied into itself is read whole first, as overlapping ranges
    // would otherwise read bytes already overwritten.
    std::string bytes(static_cast<size_t>(count), '\0');
    source.Seek(in);
    done = static_cast<int64_t>(source.Read(bytes.data(), bytes.size()));
    Seek(out);
    Write(bytes.data(), static_cast<size_t>(done));
    return done;
  }

  bool kernelCopy = true;
  std::string buffer;
  while (done < count) {
    const auto left = static_cast<size_t>(count - done);
    ssize_t moved;
    if (kernelCopy) {
      moved = ::copy_file_range(from, &in, to, &out, std::min(left, kKernelCopyBlock), 0);
      if (moved < 0 && errno != EINTR && errno != EIO && errno != ENOSPC) {
        // Not between these two files here: plain reads and writes.
        kernelCopy = false;
        continue;
      }
    } else {
      if (buffer.empty()) buffer.resize(kCopyBlock);
      moved = ::pread(from, buffer.data(), std::min(left, kCopyBlock), in);
      for (ssize_t put = 0; moved > 0 && put < moved;) {
        const ssize_t now =
            ::pwrite(to, buffer.data() + put, static_cast<size_t>(moved - put), out + put);
        if (now < 0) {
          if (errno == EINTR) continue;
          Fail("Write error on");
        }
        put += now;
      }
      if (moved > 0) {
        in += moved;
        out += moved;
      }
    }
    if (moved < 0) {
      if (errno == EINTR) continue;
      if (kernelCopy) Fail("Write error on");
      source.Fail("Read error on");
    }
    if (moved == 0) break;  // the end of the source
    done += moved;
  }
  // Both streams go on behind the copied bytes.
  source.Seek(in);
  Seek(out);
  return done;
}

}  // namespace tessel
