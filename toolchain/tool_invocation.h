#pragma once
// The options of one tool run. They come from the command line and from the
// options file named by -SUB= (one or more words per line, split by the
// Windows rules: blanks separate, double quotes group). A word that does not
// begin with "-" names a file; an option is "-name=value", "-name value"
// (for options that take a value) or "-name". Names compare without regard
// to case. Command-line words come first: a new library gets its first
// object there, and the grooming run passes all of its options there.

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessel::toolchain {

// A failure of the tool: reported as "PLACE: error: TEXT", exit status 1.
// PLACE is "FILE(LINE)", or empty for the tool's own name with line 0.
class EToolError : public std::runtime_error {
 public:
  explicit EToolError(const std::string& text) : std::runtime_error(text) {}
  EToolError(const std::string& place, const std::string& text)
      : std::runtime_error(text), FPlace(place) {}
  const std::string& Place() const { return FPlace; }

 private:
  std::string FPlace;
};

// A wrong invocation (no options at all, an unknown option): exit status 2.
class EUsageError : public EToolError {
 public:
  using EToolError::EToolError;
};

struct TOption {
  std::string name;  // lower case, without the "-"
  std::string value;
  bool hasValue = false;
  std::string origin;  // "TEMP.TXT(3)", or empty for the command line
};

struct TInvocation {
  std::string optionsFile;         // as given after -SUB=, empty when none
  std::vector<std::string> files;  // words that name files, in order
  std::vector<TOption> options;    // in order
};

// What a tool accepts: option name -> takes a value.
struct TOptionSpec {
  const char* name;
  bool takesValue;
};

// Reads the command line (without the program name) and the options file.
// Throws EUsageError for an unknown option or a missing value, EToolError
// when the options file cannot be read.
TInvocation ReadInvocation(const std::vector<std::string>& args,
                           const std::vector<TOptionSpec>& accepted);

// Values of every occurrence of an option, in order.
std::vector<std::string> ValuesOf(const TInvocation& invocation, const std::string& name);
// Value of the last occurrence, or empty.
std::string LastValue(const TInvocation& invocation, const std::string& name);
bool HasOption(const TInvocation& invocation, const std::string& name);

// "a,b,,c" -> {"a", "b", "c"}: the list form of -include= and -define=.
std::vector<std::string> SplitList(const std::string& text);

}  // namespace tessel::toolchain
