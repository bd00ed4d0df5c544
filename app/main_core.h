#pragma once
// The main window's behaviour without the window: the current project,
// start-up, Open project, Build (with its pre-build checks and the forced
// full build after a program update), Save project as and Convert Bitmaps.
// Everything it shows or asks goes through the user-interface seam, so the
// desktop window and the command line show the same texts in the same order.

#include <functional>
#include <optional>
#include <string>

#include "app/build_run.h"
#include "app/program_settings.h"
#include "support/user_interface.h"

namespace tessel {

// Start-up values the core works with; FromAppEnv takes them from the
// application environment (IF, PD, FV).
struct TMainCoreConfig {
  std::string programSettingsFile;  // the program settings file
  std::string programDirectory;     // start directory of the SDK base directory check
  std::string fileVersion;          // the program's file version, e.g. 1.0.9.32
  std::string engineLogPath;        // empty: the engine's default

  static TMainCoreConfig FromAppEnv();
};

// How a Build command ended.
enum class TBuildResult {
  Ready,            // closing line "Ready"
  Cancelled,        // closing line "Cancelled"
  Errors,           // closing line "Finished with errors."
  Refused,          // a pre-build check failed; the build did not start
  NoProject,        // no existing project even after Open project; no closing line
  CancelRequested,  // Build chosen while building: the running build was asked to stop
};

// Caption of the Build item.
inline constexpr const char* kBuildBinaries = "Build binaries";
inline constexpr const char* kCancelBuild = "Cancel build";
inline constexpr const char* kBuildProject = "Build project";

// "1.0.9.32" gives "1.0.9"; three fields or fewer stay as they are.
std::string ProgramVersionOf(const std::string& fileVersion);
// The project script of a project settings file: upper case (ASCII), every
// ".INI" replaced by ".PRJ".
std::string ScriptPathOf(const std::string& projectFile);

// What Convert Bitmaps did.
struct TConvertOutcome {
  bool chosen = false;  // false: the chooser was cancelled
  int converted = 0;    // bitmaps handed to the conversion
  int reported = 0;     // of those, how many gave a message
};

class TMainCore {
 public:
  explicit TMainCore(TUserInterface& ui, TMainCoreConfig config = TMainCoreConfig::FromAppEnv());
  TMainCore(const TMainCore&) = delete;
  TMainCore& operator=(const TMainCore&) = delete;

  // Reads "LastProject" and makes it the current project.
  void Startup();
  // Algorithm S: an existing file becomes the current project and the SDK
  // base directory check runs; otherwise there is no current project.
  void SetCurrentProject(const std::string& path);
  // The file dialog; on acceptance the chosen file becomes current and
  // "LastProject" is written. False when the dialog was cancelled.
  bool OpenProject();
  // Build, or while a build runs, a cancel request. Exceptions of the run
  // pass through after the engine is gone and the core is idle again.
  TBuildResult Build();
  // Save project as: the path of the new settings file, or nothing when the
  // user cancelled.
  std::optional<std::string> SaveProjectAs();
  // Convert Bitmaps.
  TConvertOutcome ConvertBitmaps();

  const std::string& CurrentProjectFile() const { return currentProjectFile_; }
  const std::string& BaseIniFile() const { return baseIniFile_; }
  // The project commands (Build, Full Setup, Project Setup, Save project as)
  // are enabled.
  bool HasProject() const { return !currentProjectFile_.empty(); }
  // " " + the current project, or " Project not defined!".
  std::string ProjectLabel() const;
  bool IsBusy() const { return busy_; }
  std::string BuildCaption() const;
  TProgramSettings ProgramSettings() const { return TProgramSettings(config_.programSettingsFile); }
  const TMainCoreConfig& Config() const { return config_; }

  // States of the check boxes "Make all" and "Report all".
  bool MakeAll = false;
  bool ReportAll = false;

  // Called whenever the current project, the busy state or the Build item's
  // caption changed, so a window can update its label and menu.
  std::function<void()> OnStateChanged;
  // Called before the file dialog of Open project: the window destroys its
  // setup window there.
  std::function<void()> OnOpenProject;

 private:
  void Changed() const;

  TUserInterface& ui_;
  TMainCoreConfig config_;
  std::string currentProjectFile_;
  std::string baseIniFile_;
  bool busy_ = false;
  bool builtOnce_ = false;
  TBuildRun build_;
};

}  // namespace tessel
