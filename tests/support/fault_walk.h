#pragma once
// Walking an injected failure through every file-system call of an
// operation: the operation runs on a fresh in-memory file system once per
// fault, with call 1, 2, ... of each kind failing, until a run gets through
// without reaching the fault.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/memory_file_system.h"

namespace tessel::test {

struct TFault {
  TFsCall kind;
  int nth;    // the call of its kind that fails, 1 = the first after arming
  int error;  // errno it fails with
};

// "Write #3 (No space left on device)", for SCOPED_TRACE.
std::string DescribeFault(const TFault& fault);

// The errno a failing call of the kind typically brings: ENOSPC for writes
// and flushes, ENOENT for look-ups and listings (a vanished entry), EACCES
// for opens for writing, EIO otherwise.
int TypicalError(TFsCall kind);

// Every kind of call that may fail.
std::vector<TFsCall> AllFsCalls();

// Calls `run` for each kind with faults at call 1, 2, ...; `run` builds its
// file system, arms the fault (fs.FailAt) where the operation starts, runs
// it, checks the outcome and returns fs.FaultReached(). Stops a kind at the
// first run that did not reach its fault. Returns the number of runs that
// did reach one.
int WalkFaults(const std::vector<TFsCall>& kinds, const std::function<bool(const TFault&)>& run);

using TFileMap = std::map<std::string, std::string>;  // host path -> bytes

TFileMap FilesOf(const TMemoryFileSystem& fs);

// Files of `after` that hold neither their bytes of `before` nor those of
// `expected` (a missing file counts as a state of its own), one line each;
// files for which `skip` says true are left out. Empty when every file is
// old or new as a whole.
std::string NeitherOldNorNew(const TFileMap& before, const TFileMap& expected,
                             const TFileMap& after,
                             const std::function<bool(const std::string&)>& skip);

}  // namespace tessel::test
