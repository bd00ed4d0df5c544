#pragma once
// Libraries are GNU archives of objects; a member is known by its object's
// file name, and a module name (the file name up to its first ".") finds it
// without regard to case.

#include <iosfwd>
#include <string>
#include <vector>

namespace tessel::toolchain {

struct TLibraryChange {
  std::string output;                  // the library to write
  std::string base;                    // the library to start from; empty: a new one
  std::vector<std::string> objects;    // added, or replacing a member of the same name
  std::vector<std::string> deletions;  // module names to remove (the grooming)
};

// Makes the library in `output` + ".part" and moves it into place; true when
// every cross-tool run succeeded. A module to delete that the library does
// not hold is a warning.
bool ChangeLibrary(const TLibraryChange& change, std::ostream& out);

}  // namespace tessel::toolchain
