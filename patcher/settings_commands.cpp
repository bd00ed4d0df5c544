// Settings that govern how later commands write numbers and positions.

#include "patcher/patch_values.h"
#include "patcher/patcher.h"

namespace tessel {

void TPatcher::CmdBigEndian(const std::string& value) {
  FBigEndian = IsTrueFlag(value);
  result_ = FlagResult(FBigEndian);
}

void TPatcher::CmdInvert(const std::string& value) {
  FInvert = IsTrueFlag(value);
  result_ = FlagResult(FInvert);
}

void TPatcher::CmdAdjustment(const std::string& value) {
  std::string compact;
  for (char c : value) {
    if (c != ' ' && c != '\t') compact += c;
  }
  // The number syntax has no sign before "$"; "-$10" is read as -($10).
  if (compact.compare(0, 2, "-$") == 0) {
    FAdjustment =
        static_cast<int32_t>(0u - static_cast<uint32_t>(LenientNumber(compact.substr(1), 0)));
  } else {
    FAdjustment = LenientNumber(compact, 0);
  }
  result_ = " -> " + Decimal(FAdjustment);
}

void TPatcher::CmdCodeOffset(const std::string& value) {
  FCodeOffset = LenientNumber(value, 0);
  result_ = " -> " + Hex8(static_cast<uint32_t>(FCodeOffset));
}

void TPatcher::CmdFileOffset(const std::string& value) {
  FFileOffset = LenientNumber(value, 0);
  result_ = " -> " + Hex8(static_cast<uint32_t>(FFileOffset));
}

void TPatcher::CmdMaxSize(const std::string& value) {
  FMaxSize = LenientNumber(value, 0);
  result_ = " -> " + Hex8(static_cast<uint32_t>(FMaxSize));
}

void TPatcher::CmdDelim(const std::string& value) {
  FDelimiter = value;
  result_ = " -> \"" + FDelimiter + "\"";
}

}  // namespace tessel
