#pragma once
// Whether two system paths name one file. Path texts cannot tell: ".\a",
// "sub\..\a", another letter case, a drive form, a link or a second hard link
// all reach the same file. The file system decides, by device and inode of
// the existing files after the path mapping.

#include <string>

namespace tessel {

// True when both paths exist and are the same file; false when either is
// missing (a file that does not exist yet cannot be another one's input).
bool SameFile(const std::string& a, const std::string& b);

}  // namespace tessel
