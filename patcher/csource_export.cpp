// MAKECSOURCE: a region of the target as data lines for the SH assembler.

#include <algorithm>

#include "patcher/patch_values.h"
#include "patcher/patcher.h"
#include "platform/atomic_file.h"

namespace tessel {

namespace {

constexpr size_t kBytesPerLine = 16;

}  // namespace

void TPatcher::CmdMakeCSource(const std::string& value) {
  CheckTargetOpen();
  const std::string fileName = Field(value, 1);
  const auto address = static_cast<uint32_t>(StrictNumber(Field(value, 2)));
  const int32_t length = StrictNumber(Field(value, 3));
  MakeCSource(fileName, address, length);
}

void TPatcher::MakeCSource(const std::string& fileName, uint32_t address, int32_t length) {
  const int64_t position = FTarget.Position();
  TAtomicTextWriter out(fileName);
  out.WriteLine("\t.align 4");
  out.WriteLine("OSBLOCK:\t.DATA.L h'" + Hex8(address) + ",h'" +
                Hex8(static_cast<uint32_t>(length)));
  // Fewer bytes when the end of the target comes first.
  const std::string bytes = ReadTargetAt(position, static_cast<size_t>(std::max(length, 0)));
  for (size_t start = 0; start < bytes.size(); start += kBytesPerLine) {
    const size_t end = std::min(bytes.size(), start + kBytesPerLine);
    out.WriteLine(Hex8(address + static_cast<uint32_t>(start)) + "\t" + ".DATA.B " +
                  ByteItems(bytes, start, end, "h'", ","));
  }
  out.Commit();
  FTarget.Seek(position);
}

}  // namespace tessel
