#include "toolchain/diagnostics.h"

#include <cctype>

namespace tessel::toolchain {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

struct TSeverityWord {
  const char* written;
  const char* ours;
};

// GNU spellings of a severity, longest first, and what we write for them.
constexpr TSeverityWord kSeverities[] = {
    {"fatal error: ", "error"}, {"error: ", "error"},     {"Error: ", "error"},
    {"warning: ", "warning"},   {"Warning: ", "warning"}, {"note: ", "note"},
};

// "error: text" -> ("error", "text"); false when the text names no severity.
bool SplitSeverity(const std::string& text, std::string& severity, std::string& message) {
  for (const TSeverityWord& word : kSeverities) {
    if (StartsWith(text, word.written)) {
      severity = word.ours;
      message = text.substr(std::string(word.written).size());
      return true;
    }
  }
  return false;
}

// GNU quotes: `name' and the UTF-8 curly quotes become plain apostrophes.
std::string PlainQuotes(const std::string& text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 3, "\xE2\x80\x98") == 0 || text.compare(i, 3, "\xE2\x80\x99") == 0) {
      plain += '\'';
      i += 2;
    } else if (text[i] == '`') {
      plain += '\'';
    } else {
      plain += text[i];
    }
  }
  return plain;
}

std::string Form(const std::string& file, const std::string& line, const std::string& severity,
                 const std::string& text) {
  return file + "(" + line + "): " + severity + ": " + text;
}

// "FILE:LINE[:COLUMN]: REST" with LINE all digits. The file may itself hold
// colons (a drive letter), so the place is searched from the left for the
// first ":digits:" that is followed by a blank or another ":digits:".
bool SplitPlace(const std::string& text, std::string& file, std::string& line, std::string& rest) {
  size_t search = 0;
  while (true) {
    const size_t colon = text.find(':', search);
    if (colon == std::string::npos || colon == 0) return false;
    const size_t next = text.find(':', colon + 1);
    if (next == std::string::npos) return false;
    const std::string number = text.substr(colon + 1, next - colon - 1);
    if (AllDigits(number)) {
      file = text.substr(0, colon);
      line = number;
      size_t after = next + 1;
      // An optional column.
      const size_t third = text.find(':', after);
      if (third != std::string::npos && AllDigits(text.substr(after, third - after))) {
        after = third + 1;
      }
      while (after < text.size() && text[after] == ' ') ++after;
      rest = text.substr(after);
      return true;
    }
    search = colon + 1;
  }
}

bool IsContextLine(const std::string& line) {
  if (line.find("Assembler messages:") != std::string::npos) return true;
  if (StartsWith(line, "In file included from ") || StartsWith(line, "                 from "))
    return true;
  const size_t colon = line.rfind(": ");
  const std::string tail = colon == std::string::npos ? line : line.substr(colon + 2);
  for (const char* context :
       {"In function ", "In member function ", "In constructor ", "In destructor ",
        "At global scope", "At top level", "In instantiation of ", "in function ",
        "In static member function ", "In lambda function"}) {
    if (StartsWith(tail, context)) return true;
  }
  return false;
}

}  // namespace

std::string ConvertDiagnostic(const std::string& rawLine, const std::string& tool, bool failed) {
  std::string line = PlainQuotes(rawLine);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  if (line.find_first_not_of(" \t") == std::string::npos) return {};
  if (IsContextLine(line)) return {};
  if (StartsWith(line, "collect2: ") || line == "compilation terminated.") return {};

  // The cross tool's own prefix ("/usr/bin/sh4-linux-gnu-ld: ", "cc1plus: ")
  // says nothing to a user.
  const size_t colon = line.find(": ");
  if (colon != std::string::npos) {
    const std::string program = line.substr(0, colon);
    const size_t slash = program.rfind('/');
    const std::string name = program.substr(slash == std::string::npos ? 0 : slash + 1);
    if (StartsWith(name, "sh4-linux-gnu-") || name == "cc1" || name == "cc1plus") {
      line = line.substr(colon + 2);
      if (IsContextLine(line)) return {};
    }
  }

  std::string severity;
  std::string text;
  std::string file;
  std::string number;
  std::string rest;
  if (SplitPlace(line, file, number, rest)) {
    if (!SplitSeverity(rest, severity, text)) {
      severity = failed ? "error" : "warning";
      text = rest;
    }
    return Form(file, number, severity, text);
  }
  // The linker's "FILE:(.text+0x1c): undefined reference to 'x'".
  const size_t section = line.find(":(");
  const size_t close = line.find("): ", section == std::string::npos ? 0 : section);
  if (section != std::string::npos && close != std::string::npos && section > 0) {
    file = line.substr(0, section);
    rest = line.substr(close + 3);
    if (!SplitSeverity(rest, severity, text)) {
      severity = failed ? "error" : "warning";
      text = rest;
    }
    return Form(file, "0", severity, text);
  }
  if (!SplitSeverity(line, severity, text)) {
    severity = failed ? "error" : "warning";
    text = line;
  }
  return Form(tool, "0", severity, text);
}

std::vector<std::string> ConvertDiagnostics(const std::string& output, const std::string& tool,
                                            bool failed) {
  std::vector<std::string> lines;
  std::string functionFile;  // from the linker's "FILE: in function 'f':"
  size_t begin = 0;
  while (begin < output.size()) {
    size_t end = output.find('\n', begin);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(begin, end - begin);
    const size_t inFunction = line.find(": in function ");
    if (inFunction != std::string::npos) {
      const size_t programEnd = line.find(": ");
      functionFile = line.substr(programEnd < inFunction ? programEnd + 2 : 0,
                                 inFunction - (programEnd < inFunction ? programEnd + 2 : 0));
    } else if (StartsWith(line, "(.") && !functionFile.empty()) {
      // A place within the object the context line named.
      line = functionFile + ":" + line;
    }
    std::string converted = ConvertDiagnostic(line, tool, failed);
    if (!converted.empty()) lines.push_back(std::move(converted));
    begin = end + 1;
  }
  return lines;
}

}  // namespace tessel::toolchain
