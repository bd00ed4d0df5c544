#include "platform/case_fold.h"

#include <gtest/gtest.h>

#include <string>

using namespace tessel;

// The word-at-a-time fold must give what folding byte by byte gives, for
// every byte value at every place in a word, and for every tail length.
TEST(CaseFold, FoldingWordsAtATimeMatchesFoldingEachByte) {
  std::string every;
  for (int round = 0; round < 3; ++round) {  // each byte at several offsets
    for (int b = 0; b < 256; ++b) every += static_cast<char>((b * 7 + round * 3) & 0xFF);
  }
  for (size_t length = 0; length <= every.size(); length += (length < 40 ? 1 : 37)) {
    const std::string from = every.substr(0, length);
    std::string folded(length, '\0');
    FoldAsciiInto(from, folded.data());
    std::string expected = from;
    for (char& c : expected) c = FoldAscii(c);
    ASSERT_EQ(folded, expected) << length;
  }
  std::string mixed = "c:\\Sdk\\obj\\main.obj<C:\\SDK\\src\\Main.c`{@[";
  std::string out(mixed.size(), '\0');
  FoldAsciiInto(mixed, out.data());
  EXPECT_EQ(out, "C:\\SDK\\OBJ\\MAIN.OBJ<C:\\SDK\\SRC\\MAIN.C`{@[");
}
