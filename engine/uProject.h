#pragma once
// TProject: the build script engine. One instance interprets the project
// scripts of one build: variables, includes, keyword lists, make rules on
// file dates and tool runs, and hands binding and icon conversion over to
// their actions.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/file_stream.h"
#include "platform/fresh_file.h"
#include "platform/process.h"
#include "settings/uParamlist.h"
#include "support/string_hash_map.h"
#include "support/user_interface.h"

namespace tessel {

using TStringList = std::vector<std::string>;

// Log entry in front of every echoed script line, tool run and script end.
inline constexpr const char* kLogSeparator = "--- --- ---\r\n";

// The options file of every tool run, and the single argument naming it.
inline constexpr const char* kOptionsFileName = "TEMP.TXT";
inline constexpr const char* kOptionsArgument = "-SUB=TEMP.TXT";

// Indices of the keyword lists; the order is the dispatcher's order.
enum TKeywordList : int {
  klSetEnv = 0,           // SETENV: NAME;VALUE, expanded when added
  klOption = 1,           // OPTION: compiler and linker options
  klLibOpt = 2,           // LIB_OPT: library runs
  klLibModOpt = 3,        // LIB_MOD_OPT: library runs on an existing library
  klAsmOpt = 4,           // ASM_OPT: assembler runs
  klDependency = 5,       // DEPENDENCY: further dependencies of the make rule
  klMessageToIgnore = 6,  // MESSAGE_TO_IGNORE: TEXT;SWITCH output filter
};
inline constexpr int kKeywordListCount = 7;

// Final-state codes of Run.
enum : uint8_t {
  psNotReady = 0,
  psRunning = 1,
  psReady = 2,
  psCancelled = 3,
  psFailed = 4,  // a step failed and stopped the build
};

// Default engine log file: the executable's path, its file name in upper
// case with its ".EXE" ending replaced by ".LOG", or ".LOG" appended when it
// has none, so the log never names the executable itself. (The directories
// keep the system's spelling: folded, they would resolve to the same ones.) When the executable's
// directory is not writable (an installed program), the same file name in the user's state
// directory.
std::string DefaultEngineLogPath();

// Environment variable that names the engine log file instead (tests and
// installations whose program directory is read-only).
inline constexpr const char* kEngineLogVariable = "TESSEL_ENGINE_LOG";

class TBuildRecord;
class TCollectionFiles;
class TFileStatusCache;
class TDependencyMemo;

// The routine name of a C declaration: the text in front of its first "(",
// back to the nearest blank or "*" (tabs do not separate). Empty when there
// is no "(" or a blank stands right before it.
std::string NameFromDeclaration(const std::string& declaration);

class TProject {
 public:
  // Script nesting deeper than this stops the build (a script that includes
  // itself without a guard would otherwise never end).
  static constexpr int kMaxIncludeDepth = 64;

  // Creates the log file afresh: at `logFilePath` when given, else at the
  // path in TESSEL_ENGINE_LOG when set, else at DefaultEngineLogPath().
  // Throws EFileError when it cannot be created.
  explicit TProject(const std::string& logFilePath = "");
  ~TProject();
  TProject(const TProject&) = delete;
  TProject& operator=(const TProject&) = delete;

  // Runs a script path, or one of the forms "/BIND:path" and
  // "/BMP256TOCGI:bitmap;icon". Returns the final state.
  uint8_t Run(const std::string& argument);
  // Callable while Run is active (from ProcessMessages); the run stops
  // before its next script line.
  void Cancel();

  // Writes an entry to the log file with the current indentation; forced
  // entries (and all entries under ReportAll) also reach LogWindow.
  void Log(std::string_view text, bool force = false);
  // The echo of a line, KEY=expansion, as Log(key + "=" + text + CR LF).
  void LogEcho(std::string_view key, std::string_view text);
  // Entries are buffered; this writes them to the log file. It happens
  // before every tool run, before the window gets control, at the end of a
  // run and when an error ends it, so a crash or kill during a tool run
  // loses nothing logged before the tool started.
  void FlushLog();

  // Files may have changed (a tool ran, or the engine wrote, copied, deleted
  // or renamed one): the make rule reads their status afresh.
  void FilesChanged();

  std::string Expand(const std::string& text, bool unquote) const {
    return Vars.Expand(text, unquote);
  }
  std::string ExpandedValue(const std::string& name, bool unquote) const {
    if (unquote) {
      if (const std::string* kept = EchoedValueOf(name)) return *kept;
    }
    return Vars.ExpandedValue(name, unquote);
  }
  // The same into `out`, whose storage is used again when the value was kept.
  void ExpandedValueInto(const std::string& name, bool unquote, std::string& out) const {
    out.clear();
    AppendExpandedValue(name, unquote, out);
  }
  // The same after what `out` holds.
  void AppendExpandedValue(const std::string& name, bool unquote, std::string& out) const {
    if (unquote) {
      if (const std::string* kept = EchoedValueOf(name)) {
        out += *kept;
        return;
      }
    }
    out += Vars.ExpandedValue(name, unquote);
  }

  // Make rules.
  bool IsUpToDate();  // true = skip the step; sets Reason
  // The switches every step reads.
  TParamlist::TNameKey MakeAllKey = TParamlist::KeyOf("MAKEALL");
  TParamlist::TNameKey ForceUpdateKey = TParamlist::KeyOf("FORCEUPDATE");
  void ReportSkip();  // after IsUpToDate returned true

  // Tool runner. The environment list is SETENV's list or nullptr. The
  // result is only logged here; the steps judge it (ToolFailure).
  ProcessResult RunCommand(const std::string& command, const std::string& workDir,
                           const TStringList* environment);
  ProcessResult RunProcess(const std::string& command, const std::string& workDir,
                           const TStringList* environment);
  void ShowOutputFile(const std::string& path);
  void ExecuteAction(int listIndex);

  // Options file TEMP.TXT in a working directory, rewritten in place;
  // every line written is also logged.
  TFreshTextFile CreateOptionsFile(const std::string& workDir);
  void WriteOption(TFreshTextFile& file, const std::string& line);
  void WriteOptions(TFreshTextFile& file, const TStringList& lines);
  // The lines an options list gives: its entries expanded without quote
  // removal, or the placeholder line (when given) for an absent list.
  TStringList OptionLines(int listIndex, const char* placeholder = nullptr) const;
  // The same into `lines`, whose entries' storage is used again.
  void OptionLinesInto(int listIndex, const char* placeholder, TStringList& lines) const;
  // The common tool step: logs "options:", writes the options file and runs
  // the quoted tool on it with the SETENV environment.
  ProcessResult RunToolOnOptions(const std::string& quotedTool, const std::string& workDir,
                                 const TStringList& options, const std::string& displayText);

  // A step as the build record knows it: the target it names (DEPENDANT),
  // its key in the record (empty: not recorded) and the hash of what it runs.
  struct TStepIdentity {
    std::string target;
    std::string key;
    uint64_t hash = 0;
  };
  // The identity of the step about to run, from DEPENDANT, DEPENDENCY and
  // the hash of its command, options and inputs; called after IsUpToDate,
  // whose expansions it reuses.
  TStepIdentity IdentifyStep(uint64_t hash) const;
  // The same into `step`, whose storage is used again.
  void IdentifyStep(uint64_t hash, TStepIdentity& step) const;
  // The make rule's verdict, then the build record's: true when the step
  // runs. A skipped step is reported (ReportSkip); one that runs only
  // because what it runs changed, or because it failed last time, says so
  // in a forced line.
  bool MustRun(bool upToDate, const TStepIdentity& step);

  // What went wrong with a tool run, as the "Step failed:" line names it
  // ("\"TOOL\" exited with 2"); empty when the tool started and exited with 0.
  static std::string ToolFailure(const ProcessResult& result, const std::string& command);
  // Runs one step's work, which returns its failure (empty on success). A
  // failed step logs the forced "Step failed:" line, removes what it wrote to
  // its targets (a half-written object must not look up to date) and stops
  // the build: no further script line runs and the result is psFailed. An
  // exception removes those writes too and passes on. The build record
  // learns the outcome. False when the step failed.
  bool RunStep(const TStepIdentity& step, const std::vector<std::string>& targets,
               const std::function<std::string()>& work);

  // Adds a routine's object to the library LIBDIR\LIBRARY.LIB, creating the
  // library when it is missing (and setting LIBNEW). Clears DEPENDENCY and
  // DEPENDANT afterwards, and FORCEUPDATE when asked to.
  void LibraryStep(const std::string& name, bool deleteForceUpdate);
  // Records a declaration in the header's collection file (header path +
  // ".TMP"; a bare header name lies in HEADERDIR) unless a line there holds
  // it already. With logCreation a new collection file is logged.
  void CollectDeclaration(const std::string& declaration, const std::string& header,
                          bool logCreation);

  // The keyword list, or nullptr while it is absent.
  const TStringList* List(int index) const;
  // Joins a working directory and a file name in it; an empty directory
  // means the current one.
  static std::string InWorkDir(const std::string& workDir, const std::string& name);

  int32_t Depth = -1;
  TParamlist Vars;
  std::array<std::optional<TStringList>, kKeywordListCount> Lists;
  std::array<TStringList, kKeywordListCount> SpareLists;  // emptied lists' storage
  TStringList SpareEntries;                               // and their entries' storage
  uint8_t State = psNotReady;
  bool ReportAll = false;
  std::string Reason;
  std::string DisplayText;
  int32_t StepCounter = 0;
  TUserInterface* LogWindow = nullptr;  // not owned
  bool MakeAll = false;

 public:
  // Different line texts worked out once and kept for a build; a script
  // with more works out the rest each time, so its memory stays bounded.
  static constexpr size_t kKeptLines = size_t{1} << 16;

 private:
  enum class TLineResult { Next, SkipNextLine, LeaveScript };
  using TLineAction = TLineResult (TProject::*)(const std::string& value);
  struct TKeywordRow {
    std::string_view key;
    bool stored;  // the line sets the variable of its key first
    TLineAction action;
  };
  static const std::array<TKeywordRow, 21> kKeywordTable;

  // A PUSH entry: a copy of the variables, a copy of a list, or a marker
  // for a list that was absent.
  using TSavedState = std::variant<std::monostate, TParamlist, TStringList>;

  uint8_t RunScript(const std::string& path);
  void ReadScript(TTextReader& reader);
  TLineResult HandleLine(const std::string& line);
  void DeriveProjectDirs(const std::string& scriptPath);
  void SaveRecord();
  void SetState(uint8_t state);
  void AddStep(int32_t amount);

  // Rows of the keyword table.
  TLineResult ExitIfLine(const std::string& value);
  TLineResult ConstantDependencyFileLine(const std::string& value);
  TLineResult ChkEnvLine(const std::string& value);
  TLineResult IncludeLine(const std::string& value);
  TLineResult ExecuteLine(const std::string& value);
  TLineResult BreakLine(const std::string& value);
  TLineResult SyscallLine(const std::string& value);
  TLineResult ToolsLine(const std::string& value);
  TLineResult UpdateHeaderFilesLine(const std::string& value);
  TLineResult DelFileLine(const std::string& value);
  TLineResult Bmp256ToCgiLine(const std::string& value);
  TLineResult BindLine(const std::string& value);
  TLineResult PushLine(const std::string& value);
  TLineResult PopLine(const std::string& value);
  template <int Index>
  TLineResult ListLine(const std::string& value);

  void AddToList(int index, const std::string& value);
  void Push();
  void Pop();
  TSavedState PopSaved();

  // Actions of SYSCALL, TOOLS, UPDATEHEADERFILES, BMP256TOCGI and BIND; each
  // reads its argument from the variable of its keyword.
  void SyscallAction();
  void ToolsAction();
  void UpdateHeaderFilesAction();
  void Bmp256ToCgiAction();
  void BindAction();
  void WriteSyscallStub(const std::string& sourcePath, const std::string& name,
                        const std::string& number);

  uint8_t RunArgument(const std::string& argument);
  void FlushLogQuietly() noexcept;
  void WriteLogBuffer();  // as FlushLog, leaving the old text behind it
  bool LogCut = false;    // the last log's text behind ours is gone

  TTextWriter LogFile;
  std::string LogBuffer;
  std::vector<TSavedState> SavedStates;
  std::unique_ptr<TCollectionFiles> Collections;
  std::unique_ptr<TFileStatusCache> Statuses;     // what the make rule read this build
  std::unique_ptr<TDependencyMemo> Dependencies;  // the DEPENDENCY list, expanded and dated
  // The values of the last DEPENDENCY, DEPENDANT and EXECUTE lines as their
  // echoes expanded them, for the step that follows.
  enum TEchoSlot { esDependency, esDependant, esExecute, kEchoSlots };
  struct TEchoedValue {
    bool made = false;      // expanded for the line being handled
    bool valid = false;     // and the variable set to the value expanded
    uint64_t stamp = 0;     // before the expansion
    uint64_t setStamp = 0;  // after the variable was set
    std::string text{};
    std::vector<TParamlist::TNameRef> used{};
    mutable TParamlist::TNameKey name;  // of the slot's variable, its place kept
  };
  std::array<TEchoedValue, kEchoSlots> Echoed = {{{.name = TParamlist::KeyOf("DEPENDENCY")},
                                                  {.name = TParamlist::KeyOf("DEPENDANT")},
                                                  {.name = TParamlist::KeyOf("EXECUTE")}}};
  static int EchoSlotOf(const std::string& key);
  // Expands the value of a line whose key is plain text for its echo and
  // keeps it; false when the line must be expanded as a whole instead.
  bool EchoValue(TEchoedValue& echoed, const std::string& key, TParamlist::TCompiledText& value);
  void KeepEcho(int slot);

  // What a script line says, worked out once per build for each distinct
  // line text: scripts repeat the same lines step after step.
  struct TLineInfo {
    std::string key;
    std::string value;
    TParamlist::TNameKey keyName;
    int row = -1;  // in kKeywordTable; -1: none
    int slot = -1;
    bool quiet = false;   // not echoed
    bool worked = false;  // filled for some line
    // What the echo expands: the value for an echo slot, else the line.
    TParamlist::TCompiledText echo;
  };
  // Fills `info` for a line holding "=".
  static void WorkOutLine(const std::string& line, TLineInfo& info);
  // Lines by their text; none: seen once so far.
  TStringHashMap<std::unique_ptr<TLineInfo>> LineInfos;
  std::vector<TLineInfo> ScratchLines;  // by include depth
  // Option texts compiled for the steps' expansions.
  mutable TStringHashMap<TParamlist::TCompiledText> CompiledOptions;
  // The kept expansion of the variable when nothing it depends on changed
  // since; nullptr otherwise.
  const std::string* EchoedValueOf(const std::string& name) const;
  // The build record of the top script while it runs; absent otherwise.
  std::unique_ptr<TBuildRecord> Record;
  // DEPENDANT and DEPENDENCY as the last IsUpToDate expanded them, when it
  // did; the texts' storage serves step after step.
  struct TRuleText {
    std::string text;
    bool made = false;
  };
  TRuleText RuleTarget;
  TRuleText RuleSource;
  // What EXECUTE steps expand, step after step, in storage kept for them.
  struct TExecuteStorage {
    std::string tool;
    TStringList options;
    TStepIdentity step;
  };
  TExecuteStorage ExecuteStorage;
  // Set when the include limit or a failed step stopped the build: every
  // script ends, and the result is "not ready" or psFailed.
  bool Stopped = false;
};

}  // namespace tessel
