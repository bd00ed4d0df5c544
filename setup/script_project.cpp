#include "setup/script_lines.h"
#include "setup/section_load.h"
#include "support/text.h"

namespace tessel {

namespace {

struct TSource {
  std::string path;  // as stored, references unexpanded
  std::string baseName;
  std::string extension;  // upper case, with its dot
};

std::vector<TSource> ReadSources(const TQuotedINI& project) {
  TParamlist entries;
  project.ReadSectionValues("vleProjectSource", entries);
  std::vector<TSource> sources;
  sources.reserve(entries.Count());
  for (size_t i = 0; i < entries.Count(); ++i) {
    const std::string path = entries.ValueAt(i);
    sources.push_back({path, BaseName(path), AnsiUpperCase(ExtractFileExt(path))});
  }
  return sources;
}

bool IsAssemblerSource(const TSource& source) {
  return source.extension == ".SRC" || source.extension == ".ASM";
}

bool IsCompilerSource(const TSource& source) {
  return source.extension == ".C" || source.extension == ".CPP";
}

// PROG, SOURCEFILE and EXECUTE for each source of one group.
template <typename Predicate>
void AddBuildSteps(TScriptLines& lines, const std::vector<TSource>& sources, Predicate inGroup,
                   const std::string& command) {
  for (const TSource& source : sources) {
    if (!inGroup(source)) continue;
    lines.push_back("PROG=" + source.baseName);
    lines.push_back("SOURCEFILE=\"" + source.path + "\"");
    lines.push_back("EXECUTE=\"" + command + "\"");
  }
}

void AddObjectDependencies(TScriptLines& lines, const std::vector<TSource>& sources) {
  for (const TSource& source : sources) {
    lines.push_back("DEPENDENCY=\"$(OBJECTDIR)\\" + source.baseName + ".obj\"");
  }
}

void AddObjectInputs(TScriptLines& lines, const std::vector<TSource>& sources) {
  for (const TSource& source : sources) {
    lines.push_back("OPTION=-input \"$(OBJECTDIR)\\" + source.baseName + ".OBJ\"");
  }
}

// A bitmap row as a path: "*empty*" means none.
std::string BitmapPath(const TEditorRows& bindOptions, const std::string& key) {
  std::string value = bindOptions.ValueOf(key);
  return value == EmptyBindValue ? std::string() : value;
}

}  // namespace

TScriptLines ProjectScriptLines(const TQuotedINI& base, const TQuotedINI& project,
                                const TEditorRows& bindOptions, const std::string& projectName) {
  const std::vector<TSource> sources = ReadSources(project);
  const std::string prog = "PROG=\"" + projectName + "\"";
  TScriptLines lines = {"MAKEALL=nTRUE",
                        prog,
                        "INCLUDE=\"$(PROJECTDIR)\\SETUP.PRJ\"",
                        "INCLUDE=\"$(PROJECTDIR)\\SYSCALLS.PRJ\"",
                        "INCLUDE=\"$(PROJECTDIR)\\TOOLS.PRJ\"",
                        "SOURCEDIR=\"$(PROJECTDIR)\\$(PROG)\""};

  bool anyAssembler = false;
  for (const TSource& source : sources) anyAssembler = anyAssembler || IsAssemblerSource(source);
  if (anyAssembler) {
    lines.insert(lines.end(), {"DEPENDENCY=", "DEPENDENCY=\"$(SOURCEFILE)\"",
                               "TARGETFILE=\"$(OBJECTDIR)\\$(PROG).OBJ\"",
                               "DEPENDANT=\"$(OBJECTDIR)\\$(PROG).OBJ\"",
                               "ASM_OPT=", "INCLUDE=\"$(PROJECTDIR)\\ASMSH_OPTIONS.PRJ\""});
    AddBuildSteps(lines, sources, IsAssemblerSource, "$(ASM_CMD)");
    lines.insert(lines.end(),
                 {"ASM_OPT=", "DEPENDENCY=", "TARGETFILE=", "DEPENDANT=", "PROG=", "SOURCEFILE="});
  }

  // Compile the C and C++ sources and the project's main file.
  lines.insert(lines.end(), {"SETENV=", "SETENV=SHC_LIB;$(BINDIR)", "SETENV=SHC_TMP;$(DEBUGDIR)",
                             "DEPENDENCY=", "DEPENDENCY=\"$(SOURCEDIR)\\$(PROG).CPP\""});
  AddSectionLines(lines, project, "vleProjectDependencies", "DEPENDENCY");
  for (const TSource& source : sources) lines.push_back("DEPENDENCY=" + source.path);
  lines.insert(lines.end(), {"DEPENDENCY=\"$(PROJECTDIR)\\SHCPP_OPTIONS.PRJ\"",
                             "DEPENDANT=\"$(OBJECTDIR)\\$(PROG).OBJ\"", "OPTION=", "ASM_OPT=",
                             "INCLUDE=\"$(PROJECTDIR)\\SHCPP_OPTIONS.PRJ\""});
  AddBuildSteps(lines, sources, IsCompilerSource, "$(COMPILE_CMD)");
  lines.insert(lines.end(), {prog, "SOURCEFILE=\"$(PROJECTDIR)\\$(PROG)\\$(PROG).CPP\"",
                             "EXECUTE=$(COMPILE_CMD)", "SETENV=", "OPTION=", prog,
                             "SOURCEDIR=\"$(PROJECTDIR)\\$(PROG)\""});

  // Link the RAM image.
  lines.insert(lines.end(), {"DEPENDENCY=", "DEPENDENCY=\"$(OBJECTDIR)\\$(PROG).obj\""});
  AddSectionLines(lines, base, "vleLinkRAMBINdep", "DEPENDENCY");
  AddObjectDependencies(lines, sources);
  lines.insert(lines.end(), {"DEPENDENCY=\"$(OBJECTDIR)\\$(PROG).obj\"",
                             "DEPENDANT=\"$(PROJECTDIR)\\$(PROG)\\$(PROG)_RAM.SH3\"", "OPTION="});
  AddSectionLines(lines, base, "vleLinkRAMBINopt", "OPTION");
  AddObjectInputs(lines, sources);
  lines.insert(lines.end(),
               {"INCLUDE=\"$(PROJECTDIR)\\OPTLNK_OPTIONS.PRJ\"", "EXECUTE=\"$(LNK_CMD)\""});

  // Link the add-in image.
  lines.push_back("DEPENDENCY=");
  AddSectionLines(lines, base, "vleLinkG3Adep", "DEPENDENCY");
  AddObjectDependencies(lines, sources);
  lines.insert(lines.end(), {"DEPENDENCY=\"$(OBJECTDIR)\\$(PROG).obj\"",
                             "DEPENDANT=\"$(WORKDIR)\\$(PROG).SH3\"", "OPTION="});
  AddSectionLines(lines, base, "vleLinkG3Aopt", "OPTION");
  AddObjectInputs(lines, sources);
  lines.insert(lines.end(), {"INCLUDE=\"$(PROJECTDIR)\\OPTLNK_OPTIONS.PRJ\"",
                             "BREAK=", "EXECUTE=\"$(LNK_CMD)\"", "OPTION="});

  // Convert the icons.
  lines.push_back("DEPENDENCY=");
  const std::string selected = BitmapPath(bindOptions, "Selected bitmap");
  if (!IsBlank(selected)) {
    lines.insert(lines.end(), {"DEPENDENCY=\"" + selected + "\"",
                               "DEPENDANT=\"$(PROJECTDIR)\\$(PROG)\\$(PROG)_SELECTED.CGI\"",
                               "BMP256TOCGI=\"$(DEPENDENCY);$(DEPENDANT)\"", "DEPENDENCY="});
  }
  const std::string unselected = BitmapPath(bindOptions, "Unselected bitmap");
  if (!IsBlank(unselected)) {
    lines.insert(lines.end(), {"DEPENDENCY=\"" + unselected + "\"",
                               "DEPENDANT=\"$(PROJECTDIR)\\$(PROG)\\$(PROG)_UNSELECTED.CGI\"",
                               "BMP256TOCGI=\"$(DEPENDENCY);$(DEPENDANT)\""});
  }

  // Bind the add-in.
  const std::string makeScript = bindOptions.ValueOf("Makescript");
  lines.insert(lines.end(), {"DEPENDENCY=", "DEPENDENCY=\"$(WORKDIR)\\$(PROG).SH3\"",
                             "DEPENDENCY=\"" + makeScript + "\"",
                             "DEPENDENCY=\"$(PROJECTDIR)\\$(PROG)\\$(PROG)_UNSELECTED.CGI\"",
                             "DEPENDENCY=\"$(PROJECTDIR)\\$(PROG)\\$(PROG)_SELECTED.CGI\"",
                             "DEPENDANT=\"$(PROJECTDIR)\\$(PROG)\\$(PROG).G3A\"",
                             "Version=\"" + bindOptions.ValueOf("Version").substr(0, 10) + "\"",
                             "BIND=\"" + makeScript + "\""});
  return lines;
}

}  // namespace tessel
