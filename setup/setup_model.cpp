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

// Indexes into Editors in the order of one of the two positions.
std::array<size_t, EditorCount> OrderBy(int TEditorInfo::*position) {
  std::array<size_t, EditorCount> order{};
  for (size_t i = 0; i < Editors.size(); ++i) order[static_cast<size_t>(Editors[i].*position)] = i;
  return order;
}

constexpr bool IsPermutation(int TEditorInfo::*position) {
  std::array<bool, EditorCount> seen{};
  for (const TEditorInfo& info : Editors) {
    const int at = info.*position;
    if (at < 0 || at >= EditorCount || seen[static_cast<size_t>(at)]) return false;
    seen[static_cast<size_t>(at)] = true;
  }
  return true;
}
static_assert(IsPermutation(&TEditorInfo::loadPosition) &&
              IsPermutation(&TEditorInfo::storePosition));

}  // namespace

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
  for (const size_t index : OrderBy(&TEditorInfo::loadPosition)) {
    const TEditorInfo& info = Editors[index];
    const char* name = info.name;
    const TQuotedINI& ini = info.file == F::Base ? base : project;
    TEditorRows& rows = editors_[index];
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
  for (const size_t index : OrderBy(&TEditorInfo::storePosition)) {
    const TEditorInfo& info = Editors[index];
    const char* name = info.name;
    TQuotedINI& ini = info.file == F::Base ? base : project;
    TEditorRows& rows = editors_[index];
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
