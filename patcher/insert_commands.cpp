// Positioning and the commands that write into the target at its position.

#include <algorithm>
#include <vector>

#include "patcher/patch_values.h"
#include "patcher/patcher.h"
#include "patcher/time_format.h"
#include "platform/atomic_file.h"
#include "platform/path_split.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

constexpr size_t kListItemsPerLine = 16;
// A whole number of list lines.
constexpr size_t kListBlock = kListItemsPerLine * 4096;
constexpr size_t kRunBlock = 65536;

}  // namespace

void TPatcher::CmdGoto(const std::string& value) {
  CheckTargetOpen();
  int64_t offset;
  if (!ResolveOffset(Field(value, 1), true, offset)) return;
  if (offset > FMaxSize) return Fail("Position exceeds max allowed size! " + FLine);
  // Added bytes are zeros, whether AUTOEXPAND asks for it or not.
  if (offset > TargetSize()) FTarget.Truncate(offset);
  FTarget.Seek(offset);
  result_ = " -> " + Hex8(static_cast<uint32_t>(offset));
}

void TPatcher::CmdInsertFile(const std::string& value) {
  CheckTargetOpen();
  std::string fileName = Unquote(Field(value, 1));
  if (!HasDirectoryPart(fileName)) fileName = FDirectory + fileName;
  // Every operating-system error from the opening of the file to the list
  // file ends the command with " -> File error", its result line included.
  const bool done = Guarded([&] {
    TFile file(fileName, TFile::Mode::Read);
    const int64_t length = file.Size();
    int64_t size = LenientNumber(Field(value, 2), 0);
    const int64_t offset = LenientNumber(Field(value, 3), 0);
    if (offset < 0) return Fail("Position before start of file! " + FLine);
    if (size == 0) size = length - offset;
    if (length < offset + size) return Fail("Size exceeds filesize! " + FLine);
    if (size < 1) return Fail("Size missing! " + FLine);
    if (!WriteFits(size)) return;
    // Streamed from file to file, never held whole.
    file.Seek(offset);
    if (FTarget.CopyFrom(file, size) != size) {
      throw EFileError("Read beyond end of file \"" + fileName + "\"");
    }
    result_ = "\r\n -> " + fileName;
    const std::string listName = Unquote(Field(value, 4));
    if (!IsBlank(listName)) WriteListFile(listName, file, offset, size);
  });
  if (!done) {
    result_ = " -> File error";
    Fail(" -> File error");
  }
}

// Script lines that insert the same bytes again, read from the file once
// more block by block. The list file appears only when it is complete.
void TPatcher::WriteListFile(const std::string& listName, TFile& file, int64_t offset,
                             int64_t size) {
  TAtomicTextWriter list(listName);
  std::string block(kListBlock, '\0');
  file.Seek(offset);
  for (int64_t left = size; left > 0;) {
    const auto now = static_cast<size_t>(std::min<int64_t>(left, kListBlock));
    if (file.Read(block.data(), now) != now) {
      throw EFileError("Read beyond end of file \"" + file.Path() + "\"");
    }
    for (size_t start = 0; start < now; start += kListItemsPerLine) {
      const size_t end = std::min(now, start + kListItemsPerLine);
      list.WriteLine("INSERTLIST=" + ByteItems(block, start, end, "$", FDelimiter));
    }
    left -= static_cast<int64_t>(now);
  }
  list.Commit();
}

void TPatcher::CmdInsertString(const std::string& value) {
  CheckTargetOpen();
  const std::string text = Unquote(value);
  if (!WriteFits(static_cast<int64_t>(text.size()) + 1)) return;
  FTarget.Write(text + '\0');
  result_ = " -> \"" + text + "\"";
}

void TPatcher::CmdInsertTime(const std::string& value) {
  CheckTargetOpen();
  const std::string text = FormatPatchDateTime(value, clock_());
  if (!WriteFits(static_cast<int64_t>(text.size()) + 1)) return;
  FTarget.Write(text + '\0');
  result_ = " -> \"" + text + "\"";
}

void TPatcher::CmdInsertFileSize(const std::string& /*value*/) {
  CheckTargetOpen();
  const int64_t position = FTarget.Position();
  uint32_t size = static_cast<uint32_t>(TargetSize()) + static_cast<uint32_t>(FAdjustment);
  std::string bytes = Word32Bytes(size);
  if (FInvert) {
    for (char& b : bytes) b = static_cast<char>(~static_cast<unsigned char>(b));
  }
  if (!WriteFits(static_cast<int64_t>(bytes.size()))) return;
  FTarget.Write(bytes);
  result_ = " -> " + Hex8(static_cast<uint32_t>(position)) + "=" + HexBytes(bytes);
}

void TPatcher::CmdInsertChar(const std::string& value) {
  CheckTargetOpen();
  const char byte = static_cast<char>(LenientNumber(Field(value, 1), 0) & 0xFF);
  const int32_t count = LenientNumber(Field(value, 2), 1);
  if (count < 0) return Fail("Negative count! " + FLine);
  if (!WriteFits(count)) return;
  const std::string block(std::min<size_t>(static_cast<size_t>(count), kRunBlock), byte);
  for (size_t left = static_cast<size_t>(count); left > 0;) {
    const size_t now = std::min(left, block.size());
    FTarget.Write(block.data(), now);
    left -= now;
  }
  result_ = " -> " + Decimal(count);
}

void TPatcher::CmdInsertList(const std::string& value) {
  CheckTargetOpen();
  // A blank value still has one (invalid) field.
  const int count = std::max(1, FieldsIn(value));
  result_ = " -> " + Decimal(count);
  std::string bytes;
  bytes.reserve(static_cast<size_t>(count));
  for (const std::string& field : SplitFields(value, count)) {
    bytes += static_cast<char>(StrictNumber(field) & 0xFF);
  }
  if (!WriteFits(static_cast<int64_t>(bytes.size()))) return;
  FTarget.Write(bytes);
}

}  // namespace tessel
