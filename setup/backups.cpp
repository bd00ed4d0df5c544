#include "setup/backups.h"

#include "support/FileTool.h"
#include "support/text.h"

namespace tessel {

int BackupCount(const std::string& maxBackup) {
  int32_t count = 0;
  return TryStrToInt(maxBackup, count) ? count : 7;
}

std::string BackupSettings(const std::string& maxBackup, const std::string& baseIni,
                           const std::string& projectIni) {
  int count = BackupCount(maxBackup);
  if (count <= 0) return std::string();
  std::string baseFailure, projectFailure;
  Backup(baseIni, count, "YYYYMMDDHHNN", &baseFailure);
  Backup(projectIni, count, "YYYYMMDDHHNN", &projectFailure);
  if (baseFailure.empty() || projectFailure.empty()) return baseFailure + projectFailure;
  return baseFailure + "\r\n" + projectFailure;
}

}  // namespace tessel
