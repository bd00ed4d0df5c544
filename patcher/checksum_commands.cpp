// A plain 32-bit sum of unsigned bytes over regions of the target.

#include <algorithm>

#include "patcher/patch_values.h"
#include "patcher/patcher.h"

namespace tessel {

namespace {

constexpr size_t kSumBlock = 65536;

}  // namespace

void TPatcher::CmdChecksumInit(const std::string& value) {
  CheckTargetOpen();
  FChecksum = static_cast<uint32_t>(LenientNumber(value, 0));
  result_ = " -> " + Hex8(FChecksum);
}

void TPatcher::CmdChecksumCalc(const std::string& value) {
  CheckTargetOpen();
  const int64_t position = FTarget.Position();
  const int64_t size = TargetSize();
  int64_t start, end;
  if (!ResolveOffset(Field(value, 1), true, start)) return;
  if (start >= size) return Fail("Start-position exceeds filesize! " + FLine);
  if (!ResolveOffset(Field(value, 2), true, end)) return;
  if (end >= size) return Fail("End-position exceeds filesize! " + FLine);
  // An end just before the start is an empty region; further back is a mistake.
  if (end < start - 1) return Fail("End-position before start-position! " + FLine);
  for (int64_t at = start; at <= end; at += kSumBlock) {
    const std::string bytes =
        ReadTargetAt(at, static_cast<size_t>(std::min<int64_t>(kSumBlock, end - at + 1)));
    for (unsigned char b : bytes) FChecksum += b;
  }
  FTarget.Seek(position);
  result_ = " -> " + Hex8(FChecksum);
}

void TPatcher::CmdChecksumSave(const std::string& value) {
  CheckTargetOpen();
  const int64_t position = FTarget.Position();
  int64_t offset;
  if (!ResolveOffset(value, true, offset)) return;
  if (offset > TargetSize()) return Fail("Position exceeds filesize! " + FLine);
  const std::string bytes = Word32Bytes(FChecksum);
  if (!WriteFits(offset, static_cast<int64_t>(bytes.size()))) return;
  WriteTargetAt(offset, bytes);
  FTarget.Seek(position);
  result_ = " -> " + Hex8(static_cast<uint32_t>(offset)) + "=" + HexBytes(bytes);
}

}  // namespace tessel
