// CHECKSTRING and CHECKLIST compare target bytes without moving the position.

#include <algorithm>
#include <vector>

#include "patcher/patch_values.h"
#include "patcher/patcher.h"

namespace tessel {

void TPatcher::CmdCheckString(const std::string& value) {
  CheckTargetOpen();
  const int64_t position = FTarget.Position();
  int64_t offset;
  if (!ResolveInsideTarget(Field(value, 1), offset)) return;
  const std::string asWritten = Field(value, 2);
  result_ = " -> " + Hex8(static_cast<uint32_t>(offset)) + "==" + asWritten;
  const std::string expected = Unquote(asWritten);
  const std::string found = ReadTargetAt(offset, expected.size());
  // A byte past the end of the target counts as a difference.
  if (found != expected) Fail("Check failed! " + FLine + " vs. " + found);
  FTarget.Seek(position);
}

void TPatcher::CmdCheckList(const std::string& value) {
  CheckTargetOpen();
  const int64_t position = FTarget.Position();
  int64_t offset;
  if (!ResolveInsideTarget(Field(value, 1), offset)) return;
  const int count = std::max(0, FieldsIn(value) - 1);
  result_ = " -> " + Hex8(static_cast<uint32_t>(offset)) + " " + Decimal(count);
  const std::string found = ReadTargetAt(offset, static_cast<size_t>(count));
  const std::vector<std::string> fields = SplitFields(value, count + 1);
  for (int i = 0; i < count; ++i) {
    const int32_t expected = StrictNumber(fields[static_cast<size_t>(i) + 1]);
    const bool same = static_cast<size_t>(i) < found.size() &&
                      expected == static_cast<unsigned char>(found[static_cast<size_t>(i)]);
    if (!same) {
      Fail("Check failed! " + FLine + " vs. " + HexBytes(found.substr(0, 4)));
      break;
    }
  }
  FTarget.Seek(position);
}

}  // namespace tessel
