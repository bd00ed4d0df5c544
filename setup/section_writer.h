#pragma once
// Rewriting or updating a whole section of a settings file at once, with
// the bytes that the single profile writes would leave. A save of a large
// section would otherwise read and write the file once per entry.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/MyIni.h"

namespace tessel {

// Erases the section and writes the entries in order, with the bytes that
// erasing and one WriteString per entry would leave, but touching the file
// twice instead of once per entry. Keys must be unique without regard to
// case. No entries: the section is only erased.
void RewriteSection(TQuotedINI& ini, const std::string& section,
                    const std::vector<std::pair<std::string, std::string>>& entries);

// One change of an entry: a value to write, or none to delete the key.
struct TSectionEdit {
  std::string key;
  std::optional<std::string> value;
};

// Applies the edits in order as one WriteString or DeleteKey per edit would:
// a written key replaces its first line in place or follows the section's
// last line that is not blank, a deleted key loses its first line, and a
// missing section is added at the end of the file. The section is not
// erased and stays where it is.
void UpdateSection(TQuotedINI& ini, const std::string& section,
                   const std::vector<TSectionEdit>& edits);

}  // namespace tessel
