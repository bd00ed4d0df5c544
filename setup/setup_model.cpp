#include "setup/setup_model.h"

#include <stdexcept>

#include "platform/clock.h"
#include "platform/file_identity.h"
#include "settings/MyIni.h"
#include "setup/section_load.h"
#include "setup/section_save.h"
#include "support/date_time.h"
#include "support/text.h"

namespace tessel {

namespace {

using K = TEditorKind;
using F = TSettingsFile;

// Sections in the order they are loaded when the window opens.
constexpr const char* LoadOrder[EditorCount] = {
    "vleGeneral",
    "vleSyscalls",
    "vleTools",
    "vleProjectBindOptions",
    "vleAssemblerOptions",
    "vleCompilerOptions",
    "vleMessagesToIgnore",
    "vleLink",
    "vleLinkLibMod",
    "vleRequiredFiles",
    "vleRequiredDirectories",
    "vleRequiredProjectFiles",
    "vleRequiredProjectDirectories",
    "vlefx9860LibGrooming",
    "vleLinkLibCommon",
    "vleLinkG3Adep",
    "vleLinkG3Aopt",
    "vleLinkRAMBINdep",
    "vleLinkRAMBINopt",
    "vleProjectSource",
    "vleProjectDependencies",
};

// Sections in the order they are stored. The general parameters go first:
// the bind options are substituted against them as stored.
constexpr const char* StoreOrder[EditorCount] = {
    "vleGeneral",
    "vleSyscalls",
    "vleTools",
    "vleCompilerOptions",
    "vleAssemblerOptions",
    "vleMessagesToIgnore",
    "vleLink",
    "vleLinkLibMod",
    "vleRequiredFiles",
    "vleRequiredDirectories",
    "vleRequiredProjectFiles",
    "vleRequiredProjectDirectories",
    "vlefx9860LibGrooming",
    "vleLinkLibCommon",
    "vleLinkG3Adep",
    "vleLinkG3Aopt",
    "vleLinkRAMBINdep",
    "vleLinkRAMBINopt",
    "vleProjectBindOptions",
    "vleProjectSource",
    "vleProjectDependencies",
};

}  // namespace

const std::array<TEditorInfo, EditorCount> Editors = {{
    {"vleGeneral", F::Base, K::General, ""},
    {"vleRequiredDirectories", F::Base, K::List, "OPT"},
    {"vleRequiredFiles", F::Base, K::List, "OPT"},
    {"vlefx9860LibGrooming", F::Base, K::List, "OPT"},
    {"vleProjectSource", F::Project, K::List, "SRC"},
    {"vleProjectDependencies", F::Project, K::List, "DEP"},
    {"vleLinkG3Adep", F::Base, K::List, "OPT"},
    {"vleLinkG3Aopt", F::Base, K::List, "OPT"},
    {"vleLinkRAMBINdep", F::Base, K::List, "OPT"},
    {"vleLinkRAMBINopt", F::Base, K::List, "OPT"},
    {"vleProjectBindOptions", F::Project, K::BindOptions, ""},
    {"vleRequiredProjectFiles", F::Project, K::List, "OPT"},
    {"vleRequiredProjectDirectories", F::Project, K::List, "OPT"},
    {"vleTools", F::Base, K::KeyedList, ""},
    {"vleSyscalls", F::Base, K::KeyedList, ""},
    {"vleAssemblerOptions", F::Base, K::List, "OPT"},
    {"vleCompilerOptions", F::Base, K::List, "OPT"},
    {"vleMessagesToIgnore", F::Base, K::List, "OPT"},
    {"vleLink", F::Base, K::List, "OPT"},
    {"vleLinkLibMod", F::Base, K::List, "OPT"},
    {"vleLinkLibCommon", F::Base, K::List, "OPT"},
}};

const TEditorInfo* FindEditor(const std::string& name) {
  for (const TEditorInfo& info : Editors) {
    if (name == info.name) return &info;
  }
  return nullptr;
}

std::string ProjectNameOf(const std::string& projectFile) {
  return AnsiUpperCase(BaseName(projectFile)).substr(0, 8);
}

TSetupModel::TSetupModel(std::string projectFile, std::string projectIni, std::string baseIni)
    : projectFile_(std::move(projectFile)),
      projectName_(ProjectNameOf(projectFile_)),
      projectIni_(std::move(projectIni)),
      baseIni_(std::move(baseIni)) {}

size_t TSetupModel::IndexOf(const std::string& name) const {
  for (size_t i = 0; i < Editors.size(); ++i) {
    if (name == Editors[i].name) return i;
  }
  throw std::out_of_range("No editor named \"" + name + "\"");
}

TEditorRows& TSetupModel::Editor(const std::string& name) { return editors_[IndexOf(name)]; }

const TEditorRows& TSetupModel::Editor(const std::string& name) const {
  return editors_[IndexOf(name)];
}

void TSetupModel::Load() {
  TQuotedINI base(baseIni_);
  TQuotedINI project(projectIni_);
  for (const char* name : LoadOrder) {
    const TEditorInfo& info = Editors[IndexOf(name)];
    const TQuotedINI& ini = info.file == F::Base ? base : project;
    TEditorRows& rows = Editor(name);
    switch (info.kind) {
      case K::General:
        LoadGeneral(ini, rows);
        break;
      case K::KeyedList:
        LoadKeyedList(ini, name, rows);
        break;
      case K::BindOptions:
        LoadBindOptions(ini, name, rows);
        break;
      case K::List:
        LoadListSection(ini, name, info.prefix, rows);
        break;
    }
  }
  RefreshSnapshot();
}

void TSetupModel::Store() {
  // Each settings file is replaced once, with every section stored, so a
  // kill during the save leaves it old or new, never half saved.
  TQuotedINI base(baseIni_);
  base.BeginBatch();
  TQuotedINI project(projectIni_);
  if (SameFile(baseIni_, projectIni_)) {
    project = base;
  } else {
    project.BeginBatch();
  }
  const std::string stamp = DateToStamp(Now());
  TEditorRows& general = Editor("vleGeneral");
  for (const char* name : StoreOrder) {
    const TEditorInfo& info = Editors[IndexOf(name)];
    TQuotedINI& ini = info.file == F::Base ? base : project;
    TEditorRows& rows = Editor(name);
    switch (info.kind) {
      case K::General:
        SaveGeneral(ini, rows);
        break;
      case K::KeyedList:
        SaveKeyedList(ini, name, rows, 3, stamp);
        break;
      case K::BindOptions:
        SaveBindOptions(ini, name, rows, general);
        break;
      case K::List:
        SaveListSection(ini, name, info.prefix, rows);
        break;
    }
  }
  base.CommitBatch();
  project.CommitBatch();
}

std::string TSetupModel::Snapshot() const {
  std::string text;
  for (const TEditorRows& rows : editors_) text += rows.Text();
  return text;
}

}  // namespace tessel
