#include "engine/line_index.h"

#include <gtest/gtest.h>

#include <random>

namespace tessel::test {
namespace {

bool AnyLineContainsByScan(const TLineIndex& index, const std::string& text) {
  for (size_t i = 0; i < index.Count(); ++i) {
    if (index.Line(i).find(text) != std::string::npos) return true;
  }
  return false;
}

TEST(LineIndex, AnswersAsAScanOfEveryLine) {
  TLineIndex index;
  EXPECT_FALSE(index.AnyLineContains("int A(void)"));
  index.Add("unsigned int Foo(void);");
  index.Add(std::string(40, 'x') + "Long(int);");
  index.Add("no parenthesis");
  EXPECT_TRUE(index.AnyLineContains("int Foo(void)"));
  EXPECT_TRUE(index.AnyLineContains("Foo("));
  EXPECT_TRUE(index.AnyLineContains("o("));
  EXPECT_FALSE(index.AnyLineContains("int Foo(int)"));
  EXPECT_TRUE(index.AnyLineContains(std::string(35, 'x') + "Long(int)"));
  EXPECT_FALSE(index.AnyLineContains(std::string(41, 'x') + "Long(int)"));
  EXPECT_TRUE(index.AnyLineContains("(void)"));
  EXPECT_TRUE(index.AnyLineContains("parenthesis"));
  EXPECT_TRUE(index.AnyLineContains(""));

  // Random lines and texts over a small alphabet, so that texts are often
  // held, share tails with lines that do not hold them, or span a tail of
  // more than the longest indexed length.
  std::mt19937 random(11);
  const std::string alphabet = "ab (*";
  auto text = [&](size_t most) {
    std::string t;
    for (size_t n = random() % (most + 1); n > 0; --n) t += alphabet[random() % alphabet.size()];
    return t;
  };
  for (int round = 0; round < 2000; ++round) {
    if (round % 4 == 0) index.Add(text(70));
    std::string query = text(40);
    if (round % 3 == 0 && index.Count() > 0) {
      const std::string& line = index.Line(random() % index.Count());
      const size_t from = line.empty() ? 0 : random() % line.size();
      query = line.substr(from, random() % 50);
    }
    ASSERT_EQ(index.AnyLineContains(query), AnyLineContainsByScan(index, query))
        << "\"" << query << "\"";
  }
  index.Clear();
  EXPECT_EQ(index.Count(), 0u);
  EXPECT_FALSE(index.AnyLineContains("Foo("));
}

}  // namespace
}  // namespace tessel::test
