// UPDATEHEADERFILES: collected declarations replace a header only when they
// differ from it, so an unchanged header keeps its date.

#include "engine/collection_files.h"
#include "engine/uProject.h"
#include "platform/atomic_file.h"
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
      // One that cannot go is deleted by the DELFILE lines of the next build.
      DeleteFileAt(collection);
      continue;
    }
    // The new header replaces the old one in a single step, so one that
    // cannot be replaced keeps its content and the collection stays for
    // the next build. A read-only header refuses the replacement.
    try {
      WriteFileAtomic(header, ReadFileBytes(collection));
    } catch (const EFileError& e) {
      Log(std::string("Header not updated: ") + e.what() + "\r\n", true);
      continue;
    }
    // Left behind, it holds what the header holds now.
    DeleteFileAt(collection);
  }
  FilesChanged();
}

}  // namespace tessel
