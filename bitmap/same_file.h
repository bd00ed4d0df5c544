#pragma once
// Whether two system paths name one file, so a converter never creates its
// output over its own input.

#include <string>

namespace tessel {

// The host paths are compared without regard to ASCII case, since a lookup in
// another case finds an existing file; "." components and the current
// directory in front of a relative path do not count.
bool SameSystemFile(const std::string& a, const std::string& b);

}  // namespace tessel
