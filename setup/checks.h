#pragma once
// The checks that guard storing settings and generating scripts. Every
// question and message goes through the user interface given.

#include <optional>
#include <string>

#include "settings/uParamlist.h"
#include "setup/editor_rows.h"
#include "support/user_interface.h"

namespace tessel {

// Checks the general parameters of kind "DIR" and then every entry of
// `list`, each expanded against `general` without double quotes. At the
// first missing directory one question asks whether to create missing
// directories; Yes creates this and every later missing one without asking
// again, No stops at once. False when the answer was No.
bool CheckDirectories(const TParamlist& general, const TParamlist& list, TUserInterface& ui);

// Every entry of `list`, expanded against `general` without double quotes,
// must be an existing file (a directory is none). One error box lists every
// missing path; false then.
bool CheckFiles(const TParamlist& general, const TParamlist& list, TUserInterface& ui);

// The first general row whose value is blank, after its error box; nothing
// when every row has a value.
std::optional<std::string> CheckGeneralParameters(const TEditorRows& general, TUserInterface& ui);

}  // namespace tessel
