// UPDATEHEADERFILES: collected declarations replace a header only when they
// differ from it, so an unchanged header keeps its date.

#include "engine/collection_files.h"
#include "engine/uProject.h"
#include "platform/file_system.h"
#include "support/Base_00.h"
#include "support/FileTool.h"

namespace tessel {

void TProject::UpdateHeaderFilesAction() {
  const std::string value = ExpandedValue("UPDATEHEADERFILES", true);
  // Without a directory the listing would be the root's.
  if (IsBlank(value)) return;
  const std::string dir = value + "\\";
  Collections->ForgetAll();  // the collection files are consumed here
  for (const DirEntry& entry : ListDirectory(dir + "*.TMP")) {
    if (entry.isDirectory) continue;
    const std::string headerName = ReplaceAll(entry.name, ".TMP", "");
    // A name without ".TMP" in these letters would be compared with itself
    // and deleted as its own unchanged header.
    if (headerName == entry.name) continue;
    const std::string collection = dir + entry.name;
    const std::string header = dir + headerName;
    if (CompareFiles(collection, header).empty()) {
      DeleteFileAt(collection);
      continue;
    }
    // A header that cannot go keeps both files; the next build tries again.
    if (FileExists(header) && !DeleteFileAt(header)) continue;
    MoveFileTo(collection, header);
  }
  FilesChanged();
}

}  // namespace tessel
