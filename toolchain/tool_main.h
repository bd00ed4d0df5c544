#pragma once
// What the three tools share around their work: the options they accept in
// common, the checks of -cpu= and -endian=, reporting and exit status.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "toolchain/tool_invocation.h"

namespace tessel::toolchain {

// -cpu=, -endian= and -debug, accepted by every tool.
extern const std::vector<TOptionSpec> kTargetOptions;

// Refuses a -cpu= other than SH4A and an -endian= other than big: the tools
// make nothing else.
void CheckTarget(const TInvocation& invocation);

// Runs `body` and turns its errors into messages and exit statuses: 0 when it
// returns true, 1 when it returns false or throws (a file error, say), 2 for
// EUsageError.
int RunGuarded(const std::string& tool, std::ostream& out, const std::function<bool()>& body);

// Prints the cross tool's converted messages; true when it succeeded.
bool Report(const std::string& tool, int exitCode, const std::string& output, std::ostream& out);

// The file with its new contents moved into place: written to `path` +
// ".part" first by the caller, renamed here, so a failed step leaves the old
// file or the new one and never half of one.
void MoveIntoPlace(const std::string& partPath, const std::string& hostPath);

}  // namespace tessel::toolchain
