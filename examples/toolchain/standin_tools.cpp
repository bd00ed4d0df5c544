// The three tools of the stand-in chain: assembler and compiler turn one
// source into an object, the linker builds an image or a library.

#include <algorithm>
#include <ostream>

#include "examples/toolchain/standin.h"
#include "examples/toolchain/standin_formats.h"
#include "examples/toolchain/standin_options.h"
#include "platform/file_system.h"
#include "platform/path_split.h"
#include "support/text.h"

namespace tessel::standin {

namespace {

struct TOptionRule {
  const char* name;
  bool takesValue;
  bool noEffect;  // accepted for the real tools' sake
};

constexpr TOptionRule kCommonOptions[] = {
    {"cpu", true, true}, {"debug", false, true}, {"optimize", true, true}};
constexpr TOptionRule kAssemblerOptions[] = {{"object", true, false}};
constexpr TOptionRule kCompilerOptions[] = {{"object", true, false}, {"include", true, false}};
constexpr TOptionRule kLinkerOptions[] = {{"input", true, false},   {"replace", true, false},
                                          {"library", true, false}, {"output", true, false},
                                          {"form", true, false},    {"entry", true, false},
                                          {"delete", true, false}};

std::vector<TOptionRule> RulesOf(TToolMode mode) {
  std::vector<TOptionRule> rules(std::begin(kCommonOptions), std::end(kCommonOptions));
  switch (mode) {
    case TToolMode::Assembler:
      rules.insert(rules.end(), std::begin(kAssemblerOptions), std::end(kAssemblerOptions));
      break;
    case TToolMode::Compiler:
      rules.insert(rules.end(), std::begin(kCompilerOptions), std::end(kCompilerOptions));
      break;
    case TToolMode::Linker:
      rules.insert(rules.end(), std::begin(kLinkerOptions), std::end(kLinkerOptions));
      break;
  }
  return rules;
}

const char* Title(TToolMode mode) {
  switch (mode) {
    case TToolMode::Assembler:
      return "assembler";
    case TToolMode::Compiler:
      return "compiler";
    case TToolMode::Linker:
      return "linker";
  }
  return "";
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Notes for options without effect, warnings for unknown ones.
void ReportOptions(const TInvocation& invocation, const std::vector<TOptionRule>& rules,
                   std::ostream& out) {
  for (const TOption& option : invocation.options) {
    auto rule = std::find_if(rules.begin(), rules.end(),
                             [&](const TOptionRule& s) { return option.name == s.name; });
    const std::string written = "-" + option.name + (option.hasValue ? "=" + option.value : "");
    if (rule == rules.end()) {
      out << "warning: unknown option " << written << " ignored\n";
    } else if (rule->noEffect) {
      out << "note: " << written << " has no effect in the stand-in\n";
    } else if (rule->takesValue && IsBlank(option.value)) {
      throw EToolError("option -" + option.name + " needs a value");
    }
  }
}

std::vector<std::string> ValuesOf(const TInvocation& invocation, const std::string& name) {
  std::vector<std::string> values;
  for (const TOption& option : invocation.options) {
    if (option.name == name) values.push_back(option.value);
  }
  return values;
}

std::string LastValue(const TInvocation& invocation, const std::string& name) {
  std::vector<std::string> values = ValuesOf(invocation, name);
  return values.empty() ? std::string() : values.back();
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find(',', begin);
    if (end == std::string::npos) end = text.size();
    if (end > begin) items.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return items;
}

// Every #include "NAME" of the source must be found beside it or in one of
// the include directories; all missing ones are reported.
void CheckIncludes(const std::string& source, const std::string& code,
                   const std::vector<std::string>& includeDirs, std::ostream& out) {
  std::vector<std::string> dirs = {ExtractFileDir(source)};
  dirs.insert(dirs.end(), includeDirs.begin(), includeDirs.end());
  int missing = 0;
  int lineNo = 0;
  size_t begin = 0;
  while (begin < code.size()) {
    size_t end = code.find('\n', begin);
    if (end == std::string::npos) end = code.size();
    const std::string line = Trim(code.substr(begin, end - begin));
    begin = end + 1;
    ++lineNo;
    if (line.compare(0, 8, "#include") != 0) continue;
    const std::string rest = Trim(line.substr(8));
    const size_t close = rest.find('"', 1);
    if (rest.empty() || rest[0] != '"' || close == std::string::npos) continue;
    const std::string name = rest.substr(1, close - 1);
    bool found = std::any_of(dirs.begin(), dirs.end(), [&](const std::string& dir) {
      return FileExists(dir.empty() ? name : JoinPath(dir, name));
    });
    if (!found) {
      out << ExtractFileName(source) << "(" << lineNo << "): error: cannot open include file "
          << Quoted(name) << "\n";
      ++missing;
    }
  }
  if (missing > 0) throw EToolError(std::to_string(missing) + " include file(s) missing");
}

void Translate(TToolMode mode, const TInvocation& invocation, std::ostream& out) {
  if (invocation.files.empty()) throw EToolError("no source file given");
  if (invocation.files.size() > 1) {
    throw EToolError("more than one source file given (" + Quoted(invocation.files[0]) + ", " +
                     Quoted(invocation.files[1]) + ")");
  }
  const std::string& source = invocation.files[0];
  if (!FileExists(source)) throw EToolError("source file " + Quoted(source) + " not found");
  std::string objectPath = LastValue(invocation, "object");
  if (objectPath.empty()) objectPath = ChangeFileExt(source, ".OBJ");

  TObject object{BaseName(objectPath), source, ReadFileBytes(source)};
  if (mode == TToolMode::Compiler) {
    std::vector<std::string> includeDirs;
    for (const std::string& value : ValuesOf(invocation, "include")) {
      for (const std::string& dir : SplitList(value)) includeDirs.push_back(dir);
    }
    CheckIncludes(source, object.code, includeDirs, out);
  }
  WriteFileBytes(objectPath, WriteObject(object));
  out << ExtractFileName(source) << ": object " << Quoted(objectPath) << " written ("
      << object.code.size() << " bytes of code)\n";
}

TObject LoadObject(const std::string& path) {
  if (!FileExists(path)) throw EToolError("input file " + Quoted(path) + " not found");
  std::optional<TObject> object = ReadObject(ReadFileBytes(path));
  if (!object) throw EToolError(Quoted(path) + " is no object file");
  return *object;
}

std::vector<TMember> LoadLibrary(const std::string& path) {
  if (!FileExists(path)) throw EToolError("library " + Quoted(path) + " not found");
  std::optional<std::vector<TMember>> members = ReadLibrary(ReadFileBytes(path));
  if (!members) throw EToolError(Quoted(path) + " is no library");
  return *members;
}

void BuildLibrary(const std::vector<std::string>& inputs, const std::vector<std::string>& libraries,
                  const std::vector<std::string>& deletions, const std::string& output,
                  std::ostream& out) {
  if (inputs.empty() && deletions.empty()) throw EToolError("no object to put into the library");
  std::vector<TMember> members;
  for (const std::string& library : libraries) {
    std::vector<TMember> more = LoadLibrary(library);
    members.insert(members.end(), more.begin(), more.end());
  }
  for (const std::string& name : deletions) {
    auto member = std::find_if(members.begin(), members.end(),
                               [&](const TMember& m) { return SameTextAscii(m.name, Trim(name)); });
    if (member == members.end()) {
      out << "warning: no member " << Trim(name) << " to delete\n";
    } else {
      out << "  deleted " << member->name << "\n";
      members.erase(member);
    }
  }
  for (const std::string& input : inputs) {
    const TObject object = LoadObject(input);
    auto same = std::find_if(members.begin(), members.end(), [&](const TMember& member) {
      return SameTextAscii(member.name, object.module);
    });
    if (same != members.end()) {
      *same = {object.module, WriteObject(object)};
      out << "  replaced " << object.module << "\n";
    } else {
      members.push_back({object.module, WriteObject(object)});
      out << "  added " << object.module << "\n";
    }
  }
  const bool existed = FileExists(output);
  WriteFileBytes(output, WriteLibrary(members));
  out << "library " << Quoted(output) << (existed ? " updated: " : " created: ") << members.size()
      << " member(s)\n";
}

void LinkImage(const std::vector<std::string>& inputs, const std::vector<std::string>& libraries,
               const std::string& output, const std::string& entry, std::ostream& out) {
  TImage image;
  image.entry = entry;
  std::vector<std::string> origins;  // where each module came from
  auto add = [&](const std::string& name, const std::string& code, const std::string& origin) {
    for (size_t i = 0; i < image.modules.size(); ++i) {
      if (SameTextAscii(image.modules[i].name, name)) {
        throw EToolError("module " + name + " is defined twice (" + Quoted(origins[i]) + " and " +
                         Quoted(origin) + ")");
      }
    }
    image.modules.push_back({name, code});
    origins.push_back(origin);
  };
  for (const std::string& input : inputs) {
    const TObject object = LoadObject(input);
    add(object.module, object.code, input);
  }
  for (const std::string& library : libraries) {
    for (const TMember& member : LoadLibrary(library)) {
      add(member.name, ReadObject(member.object)->code, library);
    }
  }
  if (image.modules.empty()) throw EToolError("nothing to link");
  const std::string bytes = WriteImage(image);
  WriteFileBytes(output, bytes);
  out << "image " << Quoted(output) << " written: " << image.modules.size() << " module(s), "
      << bytes.size() << " bytes\n";
}

void Link(const TInvocation& invocation, std::ostream& out) {
  std::vector<std::string> inputs = invocation.files;
  for (const TOption& option : invocation.options) {
    if (option.name == "input" || option.name == "replace") inputs.push_back(option.value);
  }
  const std::vector<std::string> libraries = ValuesOf(invocation, "library");
  const std::string output = LastValue(invocation, "output");
  if (output.empty()) throw EToolError("no output file given (-output=FILE)");
  const std::string form = AsciiLowerCase(LastValue(invocation, "form"));
  if (form == "library") {
    std::vector<std::string> deletions;
    for (const std::string& value : ValuesOf(invocation, "delete")) {
      for (const std::string& name : SplitList(value)) deletions.push_back(name);
    }
    BuildLibrary(inputs, libraries, deletions, output, out);
  } else if (form.empty() || form == "image") {
    LinkImage(inputs, libraries, output, LastValue(invocation, "entry"), out);
  } else {
    throw EToolError("unknown form " + Quoted(form) + "; the forms are image and library");
  }
}

}  // namespace

std::optional<TToolMode> ModeFromProgram(const std::string& program) {
  std::string name = AsciiLowerCase(ExtractFileName(program));
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0)
    name.resize(name.size() - 4);
  if (name == "asmsh") return TToolMode::Assembler;
  if (name == "shcpp") return TToolMode::Compiler;
  if (name == "optlnk") return TToolMode::Linker;
  return std::nullopt;
}

int RunTool(TToolMode mode, const std::vector<std::string>& args, std::ostream& out) {
  out << "SH stand-in " << Title(mode) << " 1.0 (example tool chain)\n";
  const std::vector<TOptionRule> rules = RulesOf(mode);
  std::set<std::string> valueOptions;
  for (const TOptionRule& rule : rules) {
    if (rule.takesValue) valueOptions.insert(rule.name);
  }
  try {
    const TInvocation invocation = ReadInvocation(args, valueOptions);
    ReportOptions(invocation, rules, out);
    if (mode == TToolMode::Linker) {
      Link(invocation, out);
    } else {
      Translate(mode, invocation, out);
    }
    return 0;
  } catch (const EUsageError& error) {
    out << "error: " << error.what() << "\n";
    return 2;
  } catch (const EToolError& error) {
    out << "error: " << error.what() << "\n";
    return 1;
  } catch (const EFileError& error) {
    out << "error: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace tessel::standin
