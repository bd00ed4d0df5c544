// Run: the script file loop, line splitting and the echo rule.

#include <optional>

#include "engine/build_record.h"
#include "engine/uProject.h"
#include "platform/case_fold.h"
#include "platform/host_path.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

bool StartsWithUpper(const std::string& text, const std::string& prefix) {
  return AnsiUpperCase(text.substr(0, prefix.size())) == prefix;
}

}  // namespace

uint8_t TProject::Run(const std::string& argument) {
  // Directories read for names in another letter case are read once per
  // build (the platform drops them when files come and go).
  TDirectoryListingScope listings;
  // Files may have changed since an earlier run of this engine, and what
  // was worked out about lines is kept for one build.
  if (Depth < 0) {
    FilesChanged();
    LineInfos.Clear();
    CompiledOptions.Clear();
  }
  uint8_t result = 0;
  try {
    result = RunArgument(argument);
  } catch (...) {
    FlushLogQuietly();
    throw;
  }
  if (Depth < 0) FlushLog();
  return result;
}

uint8_t TProject::RunArgument(const std::string& argument) {
  if (StartsWithUpper(argument, "/BIND:")) {
    Vars.SetValue("MAKEALL", "TRUE");
    Vars.SetValue("BIND", AnsiUpperCase(argument.substr(6)));
    BindAction();
    return 0;
  }
  if (StartsWithUpper(argument, "/BMP256TOCGI:")) {
    Vars.SetValue("MAKEALL", "TRUE");
    Vars.SetValue("BMP256TOCGI", AnsiUpperCase(argument.substr(13)));
    Bmp256ToCgiAction();
    return 0;
  }
  return RunScript(argument);
}

uint8_t TProject::RunScript(const std::string& path) {
  // A new build: a stop of an earlier run on this engine is over.
  if (Depth < 0) Stopped = false;
  if (Depth + 1 > kMaxIncludeDepth) {
    Log("Scripts nested more than " + IntToStr(kMaxIncludeDepth) + " levels deep: \"" + path +
            "\" is not run and the build stops.\r\n",
        true);
    Stopped = true;
    SetState(psNotReady);
    return State;
  }
  SetState(psRunning);
  ++Depth;
  if (IsBlank(Vars.ValueOf("PROJECTDIR"))) DeriveProjectDirs(path);

  if (!FileExists(path)) {
    Log("Missing \"" + path +
            "\"\r\nUse Tessel (File - Full setup - Save) to create the project scripts.",
        true);
    --Depth;
    SetState(psNotReady);
    return State;
  }
  std::optional<TTextReader> reader;
  try {
    reader.emplace(path);
  } catch (const EFileError&) {
    // The script is abandoned like a missing one: the including script goes
    // on, and a top script ends "not ready".
    Log("Error opening \"" + path + "\"\r\n", true);
    --Depth;
    SetState(psNotReady);
    return State;
  }

  // The top script keeps its build record for the whole build.
  if (Depth == 0) Record = std::make_unique<TBuildRecord>(TBuildRecord::PathFor(path));

  // The closing entries are written for every script that was read, also
  // when an error ends the run.
  auto close = [&] {
    reader.reset();
    Log(kLogSeparator);
    Log("Script closed.\r\n");
    --Depth;
    if (Depth < 0) SaveRecord();
  };
  try {
    ReadScript(*reader);
  } catch (...) {
    close();
    throw;
  }
  close();
  if (!Stopped) SetState(psReady);
  return State;
}

void TProject::ReadScript(TTextReader& reader) {
  std::string line;
  while (State != psCancelled && !Stopped && reader.ReadLine(line)) {
    TLineResult result;
    try {
      result = HandleLine(line);
    } catch (const EExpansionTooLarge& e) {
      // A line whose variables grow without bound ends the build, not the
      // machine's memory.
      Log(std::string(e.what()) + "\r\n", true);
      Stopped = true;
      SetState(psFailed);
      return;
    }
    switch (result) {
      case TLineResult::Next:
        break;
      case TLineResult::SkipNextLine:
        reader.ReadLine(line);
        break;
      case TLineResult::LeaveScript:
        return;
    }
  }
}

namespace {

// OPTION or SETENV, blanks around and letter case aside.
bool IsQuietKey(const std::string& key) {
  size_t begin = 0, end = key.size();
  while (begin < end && static_cast<unsigned char>(key[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(key[end - 1]) <= ' ') --end;
  if (end - begin != 6) return false;
  auto is = [&](const char* word) {
    for (size_t i = 0; i < 6; ++i) {
      if (FoldCodePage(key[begin + i]) != word[i]) return false;
    }
    return true;
  };
  return is("OPTION") || is("SETENV");
}

}  // namespace

void TProject::WorkOutLine(const std::string& line, TLineInfo& info) {
  const size_t equals = line.find('=');
  info.value.assign(line, equals + 1);
  // What follows from the key alone stays from the last line worked out in
  // this storage when the key is the same: the lines seen once are mostly
  // one variable set step after step, and its place in the table stays
  // known that way.
  if (!info.worked || std::string_view(line).substr(0, equals) != info.key) {
    info.worked = true;
    info.key.assign(line, 0, equals);
    info.keyName = TParamlist::KeyOf(info.key);
    info.slot = EchoSlotOf(info.key);
    // Option and environment lines are many and would only repeat themselves.
    info.quiet = IsQuietKey(info.key);
    info.row = -1;
    for (size_t row = 0; row < kKeywordTable.size(); ++row) {
      if (info.key == kKeywordTable[row].key) {
        info.row = static_cast<int>(row);
        break;
      }
    }
  }
  // The key is plain text, so an echo slot's line expands to the key, "="
  // and its value's expansion, which the step asks for again.
  if (!info.quiet) info.echo = TParamlist::Compile(info.slot >= 0 ? info.value : line, true);
}

TProject::TLineResult TProject::HandleLine(const std::string& line) {
  // A line that comes again is worked out once and kept for the build:
  // scripts repeat their lines step after step. A line seen once costs no
  // more than working it out, each include level in its own storage. Kept
  // apart from the table, which may grow while an action runs; a script of
  // very many different lines keeps only the first ones, so its memory
  // stays bounded. Only lines that say something are kept.
  TLineInfo* info = nullptr;
  if (std::unique_ptr<TLineInfo>* kept = LineInfos.Find(line)) {
    if (*kept == nullptr) {
      *kept = std::make_unique<TLineInfo>();
      WorkOutLine(line, **kept);
    }
    info = kept->get();
  } else {
    if (line.starts_with("//") || line.starts_with("\\\\")) return TLineResult::Next;
    if (line.find('=') == std::string::npos) return TLineResult::Next;  // says nothing
    if (LineInfos.Size() < kKeptLines) LineInfos.TryEmplace(line);      // seen once
  }
  if (info == nullptr) {
    // Every level at once: a level's storage must stay where it is while
    // an include runs the lines of the next.
    if (ScratchLines.empty()) ScratchLines.resize(kMaxIncludeDepth + 1);
    info = &ScratchLines[static_cast<size_t>(Depth)];
    WorkOutLine(line, *info);
  }
  const std::string& key = info->key;
  const std::string& value = info->value;

  const int slot = info->slot;
  if (slot >= 0) Echoed[static_cast<size_t>(slot)].valid = false;
  if (!info->quiet) {
    Log(kLogSeparator);
    if (slot >= 0 && EchoValue(Echoed[static_cast<size_t>(slot)], key, info->echo)) {
      LogEcho(key, Echoed[static_cast<size_t>(slot)].text);
    } else {
      std::string echo = slot >= 0 ? Expand(line, true) : Vars.Expand(info->echo);
      echo += "\r\n";
      Log(echo);
    }
  }

  if (info->row >= 0) {
    const TKeywordRow& row = kKeywordTable[static_cast<size_t>(info->row)];
    if (row.stored) {
      Vars.SetValue(info->keyName, value);
      KeepEcho(slot);
    }
    return (this->*row.action)(value);
  }
  Vars.SetValue(info->keyName, value);
  KeepEcho(slot);
  return TLineResult::Next;
}

int TProject::EchoSlotOf(const std::string& key) {
  if (key == "DEPENDENCY") return esDependency;
  if (key == "DEPENDANT") return esDependant;
  if (key == "EXECUTE") return esExecute;
  return -1;
}

bool TProject::EchoValue(TEchoedValue& echoed, const std::string& key,
                         TParamlist::TCompiledText& value) {
  // The expansion is kept, valid while none of the names it used changes.
  echoed.made = false;
  echoed.used.clear();
  echoed.stamp = TParamlist::StampNow();
  try {
    Vars.ExpandInto(value, &echoed.used, echoed.text);
  } catch (const EExpansionTooLarge&) {
    return false;  // fails as the whole line does, in its words
  }
  if (key.size() + 1 + echoed.text.size() > TParamlist::kMaxExpandedSize) return false;
  echoed.made = true;
  return true;
}

void TProject::KeepEcho(int slot) {
  if (slot < 0) return;
  TEchoedValue& echoed = Echoed[static_cast<size_t>(slot)];
  if (!echoed.made) return;
  echoed.made = false;
  // The variable now holds the value that was expanded.
  echoed.setStamp = TParamlist::StampNow();
  echoed.valid = true;
}

const std::string* TProject::EchoedValueOf(const std::string& name) const {
  const int slot = EchoSlotOf(name);
  if (slot < 0) return nullptr;
  const TEchoedValue& echoed = Echoed[static_cast<size_t>(slot)];
  if (!echoed.valid || Vars.ChangeStamp(echoed.name) > echoed.setStamp) return nullptr;
  for (const TParamlist::TNameRef used : echoed.used) {
    if (Vars.ChangeStamp(used) > echoed.stamp) return nullptr;
  }
  return &echoed.text;
}

void TProject::SaveRecord() {
  if (Record == nullptr) return;
  // Without the record the next build goes by dates alone: worth a line in
  // the log, not a failed build.
  if (!Record->Save()) Log("Build record \"" + Record->Path() + "\" not written.\r\n");
  Record.reset();
}

void TProject::DeriveProjectDirs(const std::string& scriptPath) {
  std::string projectDir = DropLastField(ExtractFilePath(scriptPath));
  std::string sdkDir = DropLastField(projectDir);
  Vars.SetValue("PROJECTDIR", "\"" + projectDir + "\"");
  Vars.SetValue("SDKDIR", "\"" + sdkDir + "\"");
}

}  // namespace tessel
