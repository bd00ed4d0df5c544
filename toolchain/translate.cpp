// asmsh and shcpp: one source into one object.

#include <cctype>
#include <cstdio>
#include <ostream>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/path_split.h"
#include "toolchain/cross_tools.h"
#include "toolchain/optimize_table.h"
#include "toolchain/tool_main.h"
#include "toolchain/tools.h"

namespace tessel::toolchain {

namespace {

// Big-endian SH4A without FPU, freestanding: no host headers or libraries.
const std::vector<std::string> kTargetFlags = {"-mb", "-m4a-nofpu"};

std::string LowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

struct TTranslation {
  std::string source;      // as given
  std::string hostSource;  // mapped
  std::string object;      // as given or derived
  std::string hostObject;
  std::vector<std::string> preprocessorFlags;  // -I and -D
  bool debug = false;
};

TTranslation ReadTranslation(const TInvocation& invocation) {
  CheckTarget(invocation);
  if (invocation.files.empty()) throw EUsageError("no source file given");
  if (invocation.files.size() > 1) {
    throw EUsageError("more than one source file given (\"" + invocation.files[0] + "\", \"" +
                      invocation.files[1] + "\")");
  }
  TTranslation translation;
  translation.source = invocation.files[0];
  if (!FileExists(translation.source)) {
    throw EToolError("source file \"" + translation.source + "\" not found");
  }
  translation.hostSource = HostPath(translation.source);
  translation.object = LastValue(invocation, "object");
  if (translation.object.empty()) translation.object = ChangeFileExt(translation.source, ".OBJ");
  translation.hostObject = HostPath(translation.object);
  for (const std::string& value : ValuesOf(invocation, "include")) {
    for (const std::string& dir : SplitList(value)) {
      translation.preprocessorFlags.push_back("-I" + HostPath(dir));
    }
  }
  for (const std::string& value : ValuesOf(invocation, "define")) {
    for (const std::string& definition : SplitList(value)) {
      translation.preprocessorFlags.push_back("-D" + definition);
    }
  }
  translation.debug = HasOption(invocation, "debug");
  return translation;
}

bool Assemble(const TInvocation& invocation, std::ostream& out) {
  const TTranslation translation = ReadTranslation(invocation);
  // The C preprocessor first, so sources can #include and #define; its line
  // markers keep the assembler's messages pointing at the source.
  TTempFile preprocessed(".s");
  std::vector<std::string> cppArgs = {"-E", "-x", "assembler-with-cpp", "-nostdinc"};
  cppArgs.insert(cppArgs.end(), kTargetFlags.begin(), kTargetFlags.end());
  cppArgs.insert(cppArgs.end(), translation.preprocessorFlags.begin(),
                 translation.preprocessorFlags.end());
  cppArgs.insert(cppArgs.end(), {translation.hostSource, "-o", preprocessed.Path()});
  TRunResult cpp = RunCrossTool(kCrossGcc, cppArgs);
  if (!Report("asmsh", cpp.exitCode, cpp.output, out)) return false;
  WriteFileBytes(preprocessed.Path(), RewriteHexLiterals(ReadFileBytes(preprocessed.Path())));

  const std::string part = translation.hostObject + ".part";
  std::vector<std::string> asArgs = {"--big", "--isa=sh4a-nofpu", "--noexecstack"};
  if (translation.debug) asArgs.push_back("-g");
  asArgs.insert(asArgs.end(), {preprocessed.Path(), "-o", part});
  TRunResult as = RunCrossTool(kCrossAs, asArgs);
  if (!Report("asmsh", as.exitCode, as.output, out)) {
    std::remove(part.c_str());
    return false;
  }
  MoveIntoPlace(part, translation.hostObject);
  return true;
}

std::string CompilerOutput(const std::vector<std::string>& args) {
  TRunResult result = RunCrossTool(kCrossGcc, args);
  if (result.exitCode != 0) {
    throw EToolError("sh4-linux-gnu-gcc " + args[0] + " failed: " + Trimmed(result.output));
  }
  return Trimmed(result.output);
}

bool Compile(const TInvocation& invocation, std::ostream& out) {
  const TTranslation translation = ReadTranslation(invocation);
  std::string lang = LowerAscii(LastValue(invocation, "lang"));
  if (lang.empty()) {
    lang = LowerAscii(ExtractFileExt(translation.source)) == ".c" ? "c" : "cpp";
  } else if (lang == "c++") {
    lang = "cpp";
  }
  if (lang != "c" && lang != "cpp") {
    throw EToolError("-lang=" + LastValue(invocation, "lang") +
                     " is not supported; the languages are c and cpp");
  }
  int requested = 0;
  const std::string optimize = LastValue(invocation, "optimize");
  if (optimize == "1") {
    requested = 1;
  } else if (!optimize.empty() && optimize != "0") {
    throw EToolError("-optimize=" + optimize + " is not supported; the levels are 0 and 1");
  }
  const std::string version = CompilerOutput({"-dumpfullversion"});
  const int level = EffectiveOptimizeLevel(version, requested);
  if (level < requested) {
    out << "shcpp: -optimize=" << requested << " compiled at -O" << level << ": sh4-linux-gnu-gcc "
        << version << " miscompiles tests against zero above that level (see the README)\n";
  }

  const std::string part = translation.hostObject + ".part";
  std::vector<std::string> args = {"-c", "-x", lang == "c" ? "c" : "c++"};
  args.insert(args.end(), kTargetFlags.begin(), kTargetFlags.end());
  args.insert(args.end(), {"-O" + std::to_string(level), "-ffreestanding", "-nostdinc", "-isystem",
                           CompilerOutput({"-print-file-name=include"}), "-fno-pic", "-fno-common",
                           "-fno-asynchronous-unwind-tables", "-fno-stack-protector",
                           "-fdiagnostics-plain-output"});
  if (lang == "cpp") {
    args.insert(args.end(),
                {"-fno-exceptions", "-fno-rtti", "-fno-threadsafe-statics", "-fno-use-cxa-atexit"});
  }
  if (translation.debug) args.push_back("-g");
  args.insert(args.end(), translation.preprocessorFlags.begin(),
              translation.preprocessorFlags.end());
  args.insert(args.end(), {translation.hostSource, "-o", part});
  TRunResult gcc = RunCrossTool(kCrossGcc, args);
  if (gcc.exitCode != 0 && gcc.output.find("cannot execute 'cc1plus'") != std::string::npos) {
    std::remove(part.c_str());
    throw EToolError(
        "the C++ compiler of sh4-linux-gnu-gcc is missing; install the Debian package "
        "g++-sh4-linux-gnu (scripts/setup.sh installs it)");
  }
  if (!Report("shcpp", gcc.exitCode, gcc.output, out)) {
    std::remove(part.c_str());
    return false;
  }
  MoveIntoPlace(part, translation.hostObject);
  return true;
}

std::vector<TOptionSpec> TranslatorOptions(bool compiler) {
  std::vector<TOptionSpec> accepted = kTargetOptions;
  accepted.insert(accepted.end(), {{"object", true}, {"include", true}, {"define", true}});
  if (compiler) accepted.insert(accepted.end(), {{"optimize", true}, {"lang", true}});
  return accepted;
}

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.' || c == '$';
}

}  // namespace

std::string RewriteHexLiterals(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  bool inString = false;
  bool inComment = false;  // "!" to the end of the line
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n') {
      inString = false;
      inComment = false;
    } else if (inString) {
      if (c == '\\' && i + 1 < text.size()) {
        result += c;
        result += text[++i];
        continue;
      }
      if (c == '"') inString = false;
    } else if (!inComment) {
      if (c == '"') {
        inString = true;
      } else if (c == '!') {
        inComment = true;
      } else if ((c == 'h' || c == 'H') && i + 2 < text.size() && text[i + 1] == '\'' &&
                 IsHexDigit(text[i + 2]) && (i == 0 || !IsWordChar(text[i - 1]))) {
        result += "0x";
        i += 1;  // the digits follow as they are
        continue;
      }
    }
    result += c;
  }
  return result;
}

int RunAssembler(const std::vector<std::string>& args, std::ostream& out) {
  return RunGuarded("asmsh", out,
                    [&] { return Assemble(ReadInvocation(args, TranslatorOptions(false)), out); });
}

int RunCompiler(const std::vector<std::string>& args, std::ostream& out) {
  return RunGuarded("shcpp", out,
                    [&] { return Compile(ReadInvocation(args, TranslatorOptions(true)), out); });
}

}  // namespace tessel::toolchain
