#include "setup/save_command.h"

#include "setup/backups.h"
#include "setup/checks.h"
#include "setup/script_generation.h"
#include "support/FileTool.h"

namespace tessel {

namespace {

class THourGlass {
 public:
  THourGlass() { PushCursor(TCursor::HourGlass); }
  ~THourGlass() { PopCursor(); }
  THourGlass(const THourGlass&) = delete;
  THourGlass& operator=(const THourGlass&) = delete;
};

// Stores the snapshot when it goes, however the store ended.
class TSnapshotRefresh {
 public:
  explicit TSnapshotRefresh(TSetupModel& model) : model_(model) {}
  ~TSnapshotRefresh() { model_.RefreshSnapshot(); }
  TSnapshotRefresh(const TSnapshotRefresh&) = delete;
  TSnapshotRefresh& operator=(const TSnapshotRefresh&) = delete;

 private:
  TSetupModel& model_;
};

}  // namespace

bool RunSaveCommand(TSetupModel& model, TUserInterface& ui) {
  THourGlass hourGlass;
  if (model.HasChanges()) {
    TSnapshotRefresh refresh(model);
    const TEditorRows& general = model.Editor("vleGeneral");
    // A backup that cannot be made does not stop the Save, but the user
    // learns that the safety net is missing.
    const std::string failures =
        BackupSettings(general.ValueOf("MAXBACKUP"), model.BaseIni(), model.ProjectIni());
    if (!failures.empty()) ui.ShowWarning(failures);
    if (CheckGeneralParameters(general, ui)) return false;
    model.Store();
  }
  return GenerateScripts(model, ui);
}

}  // namespace tessel
