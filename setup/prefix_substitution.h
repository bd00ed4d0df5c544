#pragma once
// Rewrites a path that begins with the value of a general parameter into a
// $(KEY) reference, so that the settings follow when that parameter moves.

#include <string>

#include "setup/editor_rows.h"

namespace tessel {

// Repeated passes over the general rows in their order: a row whose value W
// is not empty, is strictly shorter than `value` and begins it, has every
// occurrence of W in `value` replaced by "$(KEY)". Passes repeat until one
// changes nothing. The backup count (kind "NUM") is no path and never serves
// as a prefix, nor does a value that its own reference text contains (it
// would be found again in its replacement). Returns whether the value
// changed.
bool SubstituteGeneralPrefixes(const TEditorRows& general, std::string& value);

}  // namespace tessel
