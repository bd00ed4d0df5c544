#pragma once
// An add-in container reader of the test's own, independent of the bind
// script: it reads every field from the bytes and says what is wrong.

#include <cstdint>
#include <string>
#include <vector>

namespace tessel::test {

struct TG3aFile {
  std::string shortName;                    // $040
  std::string internalName;                 // $060, after the "@"
  std::vector<std::string> localizedNames;  // $06B, eight of 24 bytes
  std::string version;                      // $130
  std::string date;                         // $13C
  std::string fileName;                     // $EBC
  std::string unselectedIcon;               // $1000, $2E00 bytes
  std::string selectedIcon;                 // $4000, $2E00 bytes
  std::string image;                        // $7000 up to the last four bytes
  uint16_t word16 = 0;                      // $016, after inversion
  std::vector<std::string> faults;          // every check that failed
};

TG3aFile ReadG3a(const std::string& bytes);

}  // namespace tessel::test
