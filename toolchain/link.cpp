// optlnk: links objects and libraries into a program (an ELF file, or the
// raw image the add-in container holds), or makes and changes libraries.

#include <cstdio>
#include <ostream>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "toolchain/cross_tools.h"
#include "toolchain/library.h"
#include "toolchain/link_script.h"
#include "toolchain/tool_main.h"
#include "toolchain/tools.h"

namespace tessel::toolchain {

namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

const std::vector<TOptionSpec>& LinkerOptions() {
  static const std::vector<TOptionSpec> accepted = [] {
    std::vector<TOptionSpec> options = kTargetOptions;
    options.insert(options.end(), {{"input", true},
                                   {"library", true},
                                   {"output", true},
                                   {"entry", true},
                                   {"form", true},
                                   {"replace", true},
                                   {"delete", true}});
    return options;
  }();
  return accepted;
}

// The objects named by the command line's files, -input and -replace.
std::vector<std::string> InputsOf(const TInvocation& invocation) {
  std::vector<std::string> inputs = invocation.files;
  for (const TOption& option : invocation.options) {
    if (option.name == "input" || option.name == "replace") inputs.push_back(option.value);
  }
  return inputs;
}

std::string ExistingHostPath(const std::string& path, const char* what) {
  if (!FileExists(path)) throw EToolError(std::string(what) + " \"" + path + "\" not found");
  return HostPath(path);
}

bool LinkProgram(const TInvocation& invocation, bool binary, const std::string& output,
                 std::ostream& out) {
  if (HasOption(invocation, "delete")) throw EToolError("-delete= needs -form=library");
  std::vector<std::string> objects;
  for (const std::string& input : InputsOf(invocation)) {
    objects.push_back(ExistingHostPath(input, "input file"));
  }
  std::vector<std::string> libraries;
  for (const std::string& library : ValuesOf(invocation, "library")) {
    libraries.push_back(ExistingHostPath(library, "library"));
  }
  if (objects.empty()) throw EToolError("nothing to link: no input object given");

  TTempFile script(".ld");
  WriteFileBytes(script.Path(), LinkScript(LastValue(invocation, "entry"), binary));
  const std::string hostOutput = HostPath(output);
  TTempFile elf(".elf");
  std::vector<std::string> args = {
      "-EB", "-nostdlib",   "-z", "noexecstack",
      "-T",  script.Path(), "-o", binary ? elf.Path() : hostOutput + ".part"};
  if (!HasOption(invocation, "debug")) args.push_back("-S");
  args.insert(args.end(), objects.begin(), objects.end());
  if (!libraries.empty()) {
    args.push_back("--start-group");
    args.insert(args.end(), libraries.begin(), libraries.end());
    args.push_back("--end-group");
  }
  TRunResult ld = RunCrossTool(kCrossLd, args);
  if (!Report("optlnk", ld.exitCode, ld.output, out)) {
    std::remove((hostOutput + ".part").c_str());
    return false;
  }
  if (binary) {
    TRunResult objcopy =
        RunCrossTool(kCrossObjcopy, {"-O", "binary", elf.Path(), hostOutput + ".part"});
    if (!Report("optlnk", objcopy.exitCode, objcopy.output, out)) {
      std::remove((hostOutput + ".part").c_str());
      return false;
    }
  }
  MoveIntoPlace(hostOutput + ".part", hostOutput);
  return true;
}

bool Link(const TInvocation& invocation, std::ostream& out) {
  CheckTarget(invocation);
  const std::string output = LastValue(invocation, "output");
  if (output.empty()) throw EToolError("no output file given (-output=FILE)");
  const std::string form = LowerAscii(LastValue(invocation, "form"));
  if (form == "library") {
    TLibraryChange change;
    change.output = output;
    const std::vector<std::string> libraries = ValuesOf(invocation, "library");
    if (libraries.size() > 1) throw EToolError("-form=library takes one -library= to start from");
    if (!libraries.empty()) change.base = libraries[0];
    change.objects = InputsOf(invocation);
    for (const std::string& value : ValuesOf(invocation, "delete")) {
      for (const std::string& item : SplitList(value)) change.deletions.push_back(item);
    }
    return ChangeLibrary(change, out);
  }
  if (form.empty() || form == "absolute") return LinkProgram(invocation, false, output, out);
  if (form == "binary") return LinkProgram(invocation, true, output, out);
  throw EToolError("-form=" + LastValue(invocation, "form") +
                   " is not supported; the forms are absolute, binary and library");
}

}  // namespace

int RunLinker(const std::vector<std::string>& args, std::ostream& out) {
  return RunGuarded("optlnk", out,
                    [&] { return Link(ReadInvocation(args, LinkerOptions()), out); });
}

}  // namespace tessel::toolchain
