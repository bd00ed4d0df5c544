#pragma once
// Settings and script files for tests: lines ended by CR LF, as the system
// writes them, at a system path whose directories are made on the way.

#include <string>
#include <vector>

namespace tessel::test {

void WriteLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace tessel::test
