#include "tests/patcher/patch_fixture.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace tessel::test {

void TPatchTest::RunWith(TPatcher& patcher, const std::vector<std::string>& lines) {
  std::string script;
  for (const std::string& line : lines) script += line + "\r\n";
  dir.Write("test.pat", script);
  logged.clear();
  patcher.OnLog = [this](const std::string& text, bool force) {
    EXPECT_FALSE(force);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    logged.push_back(text.substr(0, text.size() - 2));
  };
  patcher.Run(Path("test.pat"));
}

std::string TPatchTest::Run(const std::vector<std::string>& lines, TParamlist* params) {
  TPatcher patcher(params);
  RunWith(patcher, lines);
  return patcher.Error();
}

std::string TPatchTest::On(const std::string& bytes, std::vector<std::string> lines,
                           TParamlist* params) {
  dir.Write("t.bin", bytes);
  lines.insert(lines.begin(), {DirectoryLine(), "TARGETFILE=t.bin"});
  return Run(lines, params);
}

bool TPatchTest::Logged(const std::string& text) const {
  return std::find(logged.begin(), logged.end(), text) != logged.end();
}

std::string Hex(const std::string& bytes) {
  std::string result;
  char pair[4];
  for (unsigned char b : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", b);
    if (!result.empty()) result += ' ';
    result += pair;
  }
  return result;
}

std::string Bytes(const std::string& hex) {
  std::istringstream in(hex);
  std::string result, pair;
  while (in >> pair) result += static_cast<char>(std::stoi(pair, nullptr, 16));
  return result;
}

}  // namespace tessel::test
