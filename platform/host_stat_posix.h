#pragma once
// What a stat of the machine's file system tells, in the program's terms.

#include <sys/stat.h>

#include "platform/host_file_system.h"

namespace tessel {

void FillFileInfo(const struct stat& st, TFileInfo& info);

}  // namespace tessel
