#pragma once
// Edit entry of the dependency dialog: one dependency "FILE;TYPE" edited in
// the seam's dependency dialog.

#include <array>
#include <string>

#include "support/user_interface.h"

namespace tessel {

// The types the dialog's drop-down list offers, in this order.
inline constexpr std::array<const char*, 5> kDependencyTypes = {"Compile", "Link", "Link G3A",
                                                                "Link RAM BIN", "Bind"};

// The cells of an entry: its first and second ";"-separated fields (a third
// and further fields are dropped).
TDependencyEntry SplitDependency(const std::string& value);

// The dialog preset with the entry's cells: "FILE;TYPE" from the cells on
// OK, the value unchanged on Cancel.
std::string EditDependencyEntry(const std::string& value, TUserInterface& ui);

}  // namespace tessel
