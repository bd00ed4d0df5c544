// Routine names from C declarations and the collection of declarations
// into their headers' collection files.

#include "engine/collection_files.h"
#include "engine/uProject.h"
#include "platform/file_system.h"
#include "support/Base_00.h"

namespace tessel {

std::string NameFromDeclaration(const std::string& declaration) {
  const size_t paren = declaration.find('(');
  if (paren == std::string::npos) return std::string();
  size_t start = paren;
  while (start > 0 && declaration[start - 1] != ' ' && declaration[start - 1] != '*') --start;
  return declaration.substr(start, paren - start);
}

void TProject::CollectDeclaration(const std::string& declaration, const std::string& header,
                                  bool logCreation) {
  const std::string path =
      HasDirectoryPart(header) ? header : ExpandedValue("HEADERDIR", true) + "\\" + header;
  const std::string collection = path + ".TMP";
  const bool written = Collections->Collect(collection, declaration, [&] {
    if (logCreation) Log("created:" + collection + "\r\n");
  });
  if (written) FilesChanged();
}

}  // namespace tessel
