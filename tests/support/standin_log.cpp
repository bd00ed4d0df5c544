#include <stdexcept>

#include "platform/file_system.h"
#include "support/text.h"
#include "tests/support/standin_tool.h"

namespace tessel::test {

namespace {

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
        HexDigitValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string StandinToolPath() { return TESSEL_STANDIN_TOOL; }

std::vector<TStandinRun> ParseStandinLog(const std::string& text) {
  std::vector<TStandinRun> runs;
  TStandinRun* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) throw std::runtime_error("standin log: unterminated line");
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    const size_t blank = line.find(' ');
    const std::string tag = line.substr(0, blank);
    const std::string value = blank == std::string::npos ? "" : Unescape(line.substr(blank + 1));
    if (tag == "RUN") {
      if (current != nullptr) throw std::runtime_error("standin log: record without END");
      runs.emplace_back();
      current = &runs.back();
      current->number = std::stoi(value);
      continue;
    }
    if (current == nullptr) throw std::runtime_error("standin log: line outside a record");
    if (tag == "ARG") {
      current->args.push_back(value);
    } else if (tag == "CWD") {
      current->workDir = value;
    } else if (tag == "ENV") {
      current->environment.push_back(value);
    } else if (tag == "OPTIONS") {
      current->hasOptionsFile = true;
      current->optionsReadable = true;
      current->optionsFile = value;
    } else if (tag == "OPT") {
      current->options.push_back(value);
    } else if (tag == "UNREADABLE") {
      current->optionsReadable = false;
    } else if (tag == "END") {
      current = nullptr;
    } else {
      throw std::runtime_error("standin log: unknown line " + line);
    }
  }
  if (current != nullptr) throw std::runtime_error("standin log: record without END");
  return runs;
}

std::vector<TStandinRun> ReadStandinLog(const std::string& hostDirectory) {
  const std::string path = hostDirectory + "/STANDIN.LOG";
  if (!FileExists(path)) return {};
  return ParseStandinLog(ReadFileBytes(path));
}

}  // namespace tessel::test
