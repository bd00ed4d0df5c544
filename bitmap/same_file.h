#pragma once
// Whether two system paths name one file, so a converter never creates its
// output over its own input.

#include <string>

namespace tessel {

// Existing files are the same when the file system says so (device and
// inode); names that do not exist yet are compared as host paths with "."
// and ".." resolved, without regard to ASCII case, since a later lookup in
// another case would find the first file.
bool SameSystemFile(const std::string& a, const std::string& b);

}  // namespace tessel
