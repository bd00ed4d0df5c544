#pragma once
// The setup window's layout in section "uSetupProject" of the program
// settings file: sizes and positions are stored with the screen size they
// were taken on and scaled to the current screen when read.

#include <string>

#include "settings/MyIni.h"

namespace tessel {

inline constexpr const char* SetupLayoutSection = "uSetupProject";

class TLayoutScale {
 public:
  // Reads "SCREENHEIGHT" and "SCREENWIDTH"; a missing one, or one of zero
  // or less (it cannot serve as a divisor), counts as the current screen's.
  TLayoutScale(const TQuotedINI& ini, int screenHeight, int screenWidth);

  // current screen x stored value / stored screen, multiplication first,
  // the quotient cut towards zero.
  int Height(int stored) const;
  int Width(int stored) const;

  // A stored value scaled, the default (itself scaled) when the key is
  // missing.
  int ReadHeight(const std::string& key, int def) const;
  int ReadWidth(const std::string& key, int def) const;

 private:
  const TQuotedINI& ini_;
  int storedHeight_;
  int storedWidth_;
  int screenHeight_;
  int screenWidth_;
};

}  // namespace tessel
