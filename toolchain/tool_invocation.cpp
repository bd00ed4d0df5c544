#include "toolchain/tool_invocation.h"

#include <algorithm>

#include "platform/file_system.h"
#include "platform/process.h"

namespace tessel::toolchain {

namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

const TOptionSpec* FindSpec(const std::vector<TOptionSpec>& accepted, const std::string& name) {
  auto found = std::find_if(accepted.begin(), accepted.end(),
                            [&](const TOptionSpec& known) { return name == known.name; });
  return found == accepted.end() ? nullptr : &*found;
}

void AddWords(const std::vector<std::string>& words, const std::string& origin,
              const std::vector<TOptionSpec>& accepted, TInvocation& invocation) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.empty()) continue;
    if (word[0] != '-') {
      invocation.files.push_back(word);
      continue;
    }
    TOption option;
    option.origin = origin;
    const size_t equals = word.find('=');
    option.name = LowerAscii(word.substr(1, equals == std::string::npos ? equals : equals - 1));
    const TOptionSpec* known = FindSpec(accepted, option.name);
    if (known == nullptr) throw EUsageError(origin, "unknown option " + word);
    if (equals != std::string::npos) {
      if (!known->takesValue)
        throw EUsageError(origin, "option -" + option.name + " takes no value");
      option.value = word.substr(equals + 1);
      option.hasValue = true;
    } else if (known->takesValue) {
      if (i + 1 >= words.size())
        throw EUsageError(origin, "option -" + option.name + " needs a value");
      option.value = words[++i];
      option.hasValue = true;
    }
    if (known->takesValue && option.value.find_first_not_of(" \t") == std::string::npos) {
      throw EUsageError(origin, "option -" + option.name + " needs a value");
    }
    invocation.options.push_back(std::move(option));
  }
}

// The Windows rules treat the first word of a command line as the program
// name; an options line has none.
std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words = SplitCommandLine("x " + line);
  words.erase(words.begin());
  return words;
}

}  // namespace

TInvocation ReadInvocation(const std::vector<std::string>& args,
                           const std::vector<TOptionSpec>& accepted) {
  TInvocation invocation;
  std::vector<std::string> commandWords;
  bool haveOptionsFile = false;
  for (const std::string& arg : args) {
    if (LowerAscii(arg.substr(0, 5)) == "-sub=") {
      if (haveOptionsFile) throw EUsageError("more than one -SUB= options file given");
      invocation.optionsFile = arg.substr(5);
      haveOptionsFile = true;
      if (invocation.optionsFile.empty()) throw EUsageError("-SUB= names no file");
    } else {
      commandWords.push_back(arg);
    }
  }
  if (!haveOptionsFile && commandWords.empty()) {
    throw EUsageError("no options given; the command is TOOL -SUB=OPTIONS.TXT [OPTION ...]");
  }
  AddWords(commandWords, "", accepted, invocation);
  if (!haveOptionsFile) return invocation;

  std::vector<std::string> lines;
  try {
    lines = ReadTextLines(invocation.optionsFile);
  } catch (const EFileError& error) {
    throw EToolError(std::string("cannot read the options file: ") + error.what());
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string origin = invocation.optionsFile + "(" + std::to_string(i + 1) + ")";
    // What the build writes in place of an options list it does not have.
    if (lines[i].compare(0, 8, "FOption[") == 0) {
      throw EToolError(origin, "no options were given: " + lines[i]);
    }
    AddWords(SplitWords(lines[i]), origin, accepted, invocation);
  }
  return invocation;
}

std::vector<std::string> ValuesOf(const TInvocation& invocation, const std::string& name) {
  std::vector<std::string> values;
  for (const TOption& option : invocation.options) {
    if (option.name == name) values.push_back(option.value);
  }
  return values;
}

std::string LastValue(const TInvocation& invocation, const std::string& name) {
  const std::vector<std::string> values = ValuesOf(invocation, name);
  return values.empty() ? std::string() : values.back();
}

bool HasOption(const TInvocation& invocation, const std::string& name) {
  return std::any_of(invocation.options.begin(), invocation.options.end(),
                     [&](const TOption& option) { return option.name == name; });
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find(',', begin);
    if (end == std::string::npos) end = text.size();
    std::string item = text.substr(begin, end - begin);
    const size_t first = item.find_first_not_of(" \t");
    if (first != std::string::npos) {
      item = item.substr(first, item.find_last_not_of(" \t") - first + 1);
      items.push_back(item);
    }
    begin = end + 1;
  }
  return items;
}

}  // namespace tessel::toolchain
