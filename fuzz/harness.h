#pragma once
// What every fuzz target shares: a private scratch directory per process,
// refilled before each input, that the code under test cannot leave (the
// path mapping is confined to it), a sentinel directory beside it that must
// never change, and tool starts replaced by a fake that starts nothing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tessel::fuzz {

using TFiles = std::vector<std::pair<std::string, std::string>>;  // relative path, bytes

class TScratch {
 public:
  // The process's scratch area, created at first use: "box" (the current
  // directory and the confinement) and "outside" (sentinel files).
  static TScratch& Get();

  const std::string& Box() const { return box_; }
  // Empties the box, writes the files (relative to the box) and makes the
  // box the current directory.
  void Reset(const TFiles& files);
  // Returns to the fuzzer's own current directory; aborts the process when
  // anything in the sentinel directory changed or the box is gone.
  void CheckOutside() const;

 private:
  TScratch();
  std::string home_;
  std::string root_;
  std::string box_;
  std::string outside_;
  std::string snapshot_;
};

// Files of the example installation (examples/sdk) below "SDK/", with the
// generated project scripts of the example in "SDK/Projects/" and its base
// settings naming "SDK" as the SDK directory.
const TFiles& ExampleSdk();

// Reads every file of a directory tree (relative paths, sorted).
TFiles ReadTree(const std::string& directory, const std::string& prefix = "");

// Replaces tool starts by a fake that writes one line to the output file
// and reports success; no program is ever started.
void InstallFakeTools();

}  // namespace tessel::fuzz
