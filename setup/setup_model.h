#pragma once
// The settings model of the setup window: its 21 value-list editors as data,
// loaded from and stored to the project and base settings files, and the
// snapshot that tells whether the editors hold unsaved changes. The command
// line and the setup window share it.

#include <array>
#include <string>
#include <vector>

#include "setup/editor_rows.h"

namespace tessel {

enum class TSettingsFile { Base, Project };

enum class TEditorKind {
  General,      // the 13 general parameters
  KeyedList,    // syscall and tool definitions
  BindOptions,  // the project's bind options
  List,         // list sections with numbered keys
};

struct TEditorInfo {
  const char* name;  // component name, also the name of its section
  TSettingsFile file;
  TEditorKind kind;
  const char* prefix;  // key prefix of a list section
  int loadPosition;    // place in the order the sections are loaded when the window opens
  int storePosition;   // place in the order they are stored; the general parameters go
                       // first: the bind options are substituted against them as stored
};

inline constexpr int EditorCount = 21;

// The editors in the window's creation order (page by page): name, file, kind,
// key prefix, load position, store position.
inline constexpr std::array<TEditorInfo, EditorCount> Editors = {{
    {"vleGeneral", TSettingsFile::Base, TEditorKind::General, "", 0, 0},
    {"vleRequiredDirectories", TSettingsFile::Base, TEditorKind::List, "OPT", 10, 9},
    {"vleRequiredFiles", TSettingsFile::Base, TEditorKind::List, "OPT", 9, 8},
    {"vlefx9860LibGrooming", TSettingsFile::Base, TEditorKind::List, "OPT", 13, 12},
    {"vleProjectSource", TSettingsFile::Project, TEditorKind::List, "SRC", 19, 19},
    {"vleProjectDependencies", TSettingsFile::Project, TEditorKind::List, "DEP", 20, 20},
    {"vleLinkG3Adep", TSettingsFile::Base, TEditorKind::List, "OPT", 15, 14},
    {"vleLinkG3Aopt", TSettingsFile::Base, TEditorKind::List, "OPT", 16, 15},
    {"vleLinkRAMBINdep", TSettingsFile::Base, TEditorKind::List, "OPT", 17, 16},
    {"vleLinkRAMBINopt", TSettingsFile::Base, TEditorKind::List, "OPT", 18, 17},
    {"vleProjectBindOptions", TSettingsFile::Project, TEditorKind::BindOptions, "", 3, 18},
    {"vleRequiredProjectFiles", TSettingsFile::Project, TEditorKind::List, "OPT", 11, 10},
    {"vleRequiredProjectDirectories", TSettingsFile::Project, TEditorKind::List, "OPT", 12, 11},
    {"vleTools", TSettingsFile::Base, TEditorKind::KeyedList, "", 2, 2},
    {"vleSyscalls", TSettingsFile::Base, TEditorKind::KeyedList, "", 1, 1},
    {"vleAssemblerOptions", TSettingsFile::Base, TEditorKind::List, "OPT", 4, 4},
    {"vleCompilerOptions", TSettingsFile::Base, TEditorKind::List, "OPT", 5, 3},
    {"vleMessagesToIgnore", TSettingsFile::Base, TEditorKind::List, "OPT", 6, 5},
    {"vleLink", TSettingsFile::Base, TEditorKind::List, "OPT", 7, 6},
    {"vleLinkLibMod", TSettingsFile::Base, TEditorKind::List, "OPT", 8, 7},
    {"vleLinkLibCommon", TSettingsFile::Base, TEditorKind::List, "OPT", 14, 13},
}};

// The editor of that component name, or nullptr.
const TEditorInfo* FindEditor(const std::string& name);

// Project name: the project file's name up to its first ".", upper case,
// its first 8 characters.
std::string ProjectNameOf(const std::string& projectFile);

class TSetupModel {
 public:
  // projectFile names the project (for its name); the two settings paths are
  // the files the editors load from and store to.
  TSetupModel(std::string projectFile, std::string projectIni, std::string baseIni);

  const std::string& ProjectFile() const { return projectFile_; }
  const std::string& ProjectName() const { return projectName_; }
  const std::string& ProjectIni() const { return projectIni_; }
  const std::string& BaseIni() const { return baseIni_; }

  // Throws std::out_of_range for a name that is no editor's.
  TEditorRows& Editor(const std::string& name);
  const TEditorRows& Editor(const std::string& name) const;

  // Loads every editor from the two files and stores the snapshot.
  void Load();
  // Stores every editor in the save order; rows show what was stored.
  void Store();

  // Every editor's lines key=value, in creation order.
  std::string Snapshot() const;
  const std::string& StoredSnapshot() const { return storedSnapshot_; }
  void RefreshSnapshot() { storedSnapshot_ = Snapshot(); }
  bool HasChanges() const { return Snapshot() != storedSnapshot_; }

 private:
  size_t IndexOf(const std::string& name) const;

  std::string projectFile_;
  std::string projectName_;
  std::string projectIni_;
  std::string baseIni_;
  std::array<TEditorRows, EditorCount> editors_;
  std::string storedSnapshot_;
};

}  // namespace tessel
