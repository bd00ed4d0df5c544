#pragma once
// Storing editor rows into the sections of the settings files. Rows whose
// stored value the saving changes (substituted prefixes, time stamps) show
// the new value at once.

#include <string>

#include "settings/MyIni.h"
#include "setup/editor_rows.h"

namespace tessel {

// Erases "vleGeneral" and writes the 13 rows in order, each after the
// prefix substitution against the general rows as they stand then.
void SaveGeneral(TQuotedINI& ini, TEditorRows& general);

// Syscall and tool definitions. Entries whose value the rows changed, and
// hexadecimal entries without a time in field `fieldNumber`, are rewritten
// from their first fieldNumber-1 fields and `stamp`; emptied entries are
// deleted; new keys are added the same way. Unchanged entries keep their
// line and their stamp; the section is not erased.
void SaveKeyedList(TQuotedINI& ini, const std::string& section, TEditorRows& rows, int fieldNumber,
                   const std::string& stamp);

// Drops blank rows, erases the section and writes the rows in order under
// dense keys prefix_000 upwards. The rows keep the keys they show.
void SaveListSection(TQuotedINI& ini, const std::string& section, const std::string& prefix,
                     TEditorRows& rows);

// Erases the section and writes every row, "*empty*" as an empty value and
// paths through the prefix substitution. The version is no path and is
// written as it stands.
void SaveBindOptions(TQuotedINI& ini, const std::string& section, TEditorRows& rows,
                     const TEditorRows& general);

}  // namespace tessel
