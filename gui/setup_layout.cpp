#include "gui/setup_layout.h"

#include <cstdint>

namespace tessel {

namespace {

int Scale(int current, int stored, int storedScreen) {
  // 64 bits: a hand-edited value must not overflow the product.
  return static_cast<int>(static_cast<int64_t>(current) * stored / storedScreen);
}

}  // namespace

TLayoutScale::TLayoutScale(const TQuotedINI& ini, int screenHeight, int screenWidth)
    : ini_(ini), screenHeight_(screenHeight), screenWidth_(screenWidth) {
  storedHeight_ = ini.ReadInteger(SetupLayoutSection, "SCREENHEIGHT", screenHeight);
  storedWidth_ = ini.ReadInteger(SetupLayoutSection, "SCREENWIDTH", screenWidth);
  if (storedHeight_ <= 0) storedHeight_ = screenHeight;
  if (storedWidth_ <= 0) storedWidth_ = screenWidth;
}

int TLayoutScale::Height(int stored) const {
  return storedHeight_ > 0 ? Scale(screenHeight_, stored, storedHeight_) : stored;
}

int TLayoutScale::Width(int stored) const {
  return storedWidth_ > 0 ? Scale(screenWidth_, stored, storedWidth_) : stored;
}

int TLayoutScale::ReadHeight(const std::string& key, int def) const {
  return Height(ini_.ReadInteger(SetupLayoutSection, key, def));
}

int TLayoutScale::ReadWidth(const std::string& key, int def) const {
  return Width(ini_.ReadInteger(SetupLayoutSection, key, def));
}

}  // namespace tessel
