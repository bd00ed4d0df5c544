// Actions of the SYSCALL, TOOLS and UPDATEHEADERFILES lines: the syscall and
// tool libraries and the header updates. Their steps arrive with the
// library work; until then the lines only set their variables.

#include "engine/uProject.h"

namespace tessel {

void TProject::SyscallAction() {}

void TProject::ToolsAction() {}

void TProject::UpdateHeaderFilesAction() {}

}  // namespace tessel
