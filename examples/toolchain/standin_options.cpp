#include "examples/toolchain/standin_options.h"

#include "platform/file_system.h"
#include "platform/process.h"
#include "support/text.h"

namespace tessel::standin {

namespace {

// One line's words, in order, added to the invocation.
void AddWords(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
              TInvocation& invocation) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.empty()) continue;
    if (word[0] != '-') {
      invocation.files.push_back(word);
      continue;
    }
    TOption option;
    const size_t equals = word.find('=');
    option.name = AsciiLowerCase(
        word.substr(1, equals == std::string::npos ? std::string::npos : equals - 1));
    if (equals != std::string::npos) {
      option.value = word.substr(equals + 1);
      option.hasValue = true;
    } else if (valueOptions.count(option.name) != 0) {
      if (i + 1 >= words.size()) throw EToolError("option -" + option.name + " needs a value");
      option.value = words[++i];
      option.hasValue = true;
    }
    if (option.name.empty()) throw EToolError("\"" + word + "\" is no option");
    invocation.options.push_back(std::move(option));
  }
}

// The Windows rules, which treat the first word of a command line as the
// program name; an options line has none.
std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words = SplitCommandLine("x " + line);
  words.erase(words.begin());
  return words;
}

}  // namespace

TInvocation ReadInvocation(const std::vector<std::string>& args,
                           const std::set<std::string>& valueOptions) {
  TInvocation invocation;
  bool haveOptionsFile = false;
  std::vector<std::string> commandWords;
  for (const std::string& arg : args) {
    if (AsciiLowerCase(arg.substr(0, 5)) == "-sub=") {
      if (haveOptionsFile) throw EUsageError("more than one -SUB= options file given");
      invocation.optionsFile = arg.substr(5);
      haveOptionsFile = true;
    } else {
      commandWords.push_back(arg);
    }
  }
  if (haveOptionsFile && IsBlank(invocation.optionsFile)) {
    throw EUsageError("no options file given after -SUB=");
  }
  if (!haveOptionsFile && commandWords.empty()) {
    throw EUsageError(
        "no options file given; the command is TOOL -SUB=OPTIONS.TXT [FILE ...] or TOOL "
        "OPTION-OR-FILE ...");
  }
  // Files on the command line come first, as a new library's first object.
  AddWords(commandWords, valueOptions, invocation);
  // Without an options file the command line says everything.
  if (!haveOptionsFile) return invocation;

  std::vector<std::string> lines;
  try {
    lines = ReadTextLines(invocation.optionsFile);
  } catch (const EFileError& error) {
    throw EToolError(std::string("cannot read the options file: ") + error.what());
  }
  for (const std::string& line : lines) {
    // What the build writes in place of an options list it does not have.
    if (line.compare(0, 8, "FOption[") == 0) throw EToolError("no options were given: " + line);
    AddWords(SplitWords(line), valueOptions, invocation);
  }
  return invocation;
}

}  // namespace tessel::standin
