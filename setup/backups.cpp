#include "setup/backups.h"

#include "support/FileTool.h"
#include "support/text.h"

namespace tessel {

int BackupCount(const std::string& maxBackup) {
  int32_t count = 0;
  return TryStrToInt(maxBackup, count) ? count : 7;
}

void BackupSettings(const std::string& maxBackup, const std::string& baseIni,
                    const std::string& projectIni) {
  int count = BackupCount(maxBackup);
  if (count <= 0) return;
  Backup(baseIni, count, "YYYYMMDDHHNN");
  Backup(projectIni, count, "YYYYMMDDHHNN");
}

}  // namespace tessel
