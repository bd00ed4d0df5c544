// COPY holds bytes read from the target; PASTE writes them again.

#include "patcher/patch_values.h"
#include "patcher/patcher.h"

namespace tessel {

void TPatcher::CmdCopy(const std::string& value) {
  result_ = " -> failed";
  CheckTargetOpen();
  FCopyBuffer.clear();
  const int32_t count = LenientNumber(value, 0);
  if (count < 1) return;
  // No paste of these bytes could fit; a typo in a count must not fill memory.
  if (count > FMaxSize) return Fail("Size exceeds max allowed size! " + FLine);
  // Fewer bytes before the end of the target end the run by exception.
  FCopyBuffer = ReadTargetExact(static_cast<size_t>(count));
  result_ = " -> " + Decimal(count);
}

void TPatcher::CmdPaste(const std::string& /*value*/) {
  result_ = " -> failed";
  CheckTargetOpen();
  if (FCopyBuffer.empty()) return;
  if (!WriteFits(static_cast<int64_t>(FCopyBuffer.size()))) return;
  if (FAdjustment == 0) {
    FTarget.Write(FCopyBuffer);
  } else {
    // Every held byte is adjusted, modulo 256 (one byte is the common case).
    std::string adjusted = FCopyBuffer;
    for (char& b : adjusted) {
      b = static_cast<char>((static_cast<unsigned char>(b) + static_cast<uint32_t>(FAdjustment)) &
                            0xFF);
    }
    FTarget.Write(adjusted);
  }
  result_ = " -> " + Decimal(static_cast<int64_t>(FCopyBuffer.size()));
}

}  // namespace tessel
