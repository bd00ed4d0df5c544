#include "support/string_hash_map.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>

using namespace tessel;

namespace {

// Keys of every length around the hash's word size, many sharing a prefix
// or differing only in their last byte.
std::vector<std::string> Keys() {
  std::vector<std::string> keys = {""};
  for (size_t size = 1; size <= 20; ++size) {
    for (char last : {'A', 'B', '\0', '\xFF'}) keys.push_back(std::string(size - 1, 'x') + last);
  }
  for (int i = 0; i < 3000; ++i) keys.push_back("C:\\WORK\\OBJ\\F" + std::to_string(i) + ".OBJ");
  return keys;
}

}  // namespace

TEST(StringHashMapTest, AgreesWithAnOrderedMapThroughGrowthAndClears) {
  TStringHashMap<int> map;
  std::map<std::string, int> reference;
  std::mt19937 random(7);
  const std::vector<std::string> keys = Keys();
  for (int round = 0; round < 3; ++round) {
    for (int step = 0; step < 6000; ++step) {
      const std::string& key = keys[random() % keys.size()];
      auto [value, added] = map.TryEmplace(key);
      auto [it, fresh] = reference.try_emplace(key, 0);
      ASSERT_EQ(added, fresh) << key;
      if (added) {
        EXPECT_EQ(*value, 0);
      }
      EXPECT_EQ(*value, it->second);
      *value = it->second = step;
    }
    ASSERT_EQ(map.Size(), reference.size());
    for (const std::string& key : keys) {
      const int* found = map.Find(key);
      const auto it = reference.find(key);
      ASSERT_EQ(found != nullptr, it != reference.end()) << key;
      if (found != nullptr) {
        EXPECT_EQ(*found, it->second);
      }
    }
    map.Clear();
    reference.clear();
    EXPECT_TRUE(map.Empty());
    EXPECT_EQ(map.Find(keys[1]), nullptr);
  }
}

TEST(StringHashMapTest, VisitsEntriesInTheOrderTheyCame) {
  TStringHashMap<std::string> map;
  for (const char* key : {"b", "a", "c", "a"}) *map.TryEmplace(key).first += key;
  std::string seen;
  map.ForEach([&](std::string_view key, const std::string& value) {
    seen += std::string(key) + "=" + value + ";";
  });
  EXPECT_EQ(seen, "b=b;a=aa;c=c;");
  map.ForEachValue([](std::string& value) { value = "!"; });
  EXPECT_EQ(*map.Find("a"), "!");
}

TEST(StringHashMapTest, HashesSpreadOverTheLowBits) {
  // Slots are taken from the low bits: paths differing in one digit must
  // not pile up on a few of them.
  std::set<uint64_t> low;
  for (int i = 0; i < 4096; ++i) low.insert(HashText("F" + std::to_string(i) + ".OBJ") & 4095);
  EXPECT_GT(low.size(), 2400u);
  EXPECT_NE(HashText("ab"), HashText("ba"));
  EXPECT_NE(HashText(std::string("a\0", 2)), HashText("a"));
}

// A copy (a saved table) finds its own keys while the original grows, is
// cleared and refilled, and grows on its own; keys longer than any block of
// key storage are kept whole.
TEST(StringHashMapTest, ACopyKeepsItsKeysWhileTheOriginalChanges) {
  TStringHashMap<int> map;
  const std::vector<std::string> keys = Keys();
  const std::string huge(200000, 'h');
  for (size_t i = 0; i < 1000; ++i) *map.TryEmplace(keys[i]).first = static_cast<int>(i);
  *map.TryEmplace(huge).first = -1;
  TStringHashMap<int> copy = map;
  map.Clear();
  for (size_t i = 1000; i < keys.size(); ++i) *map.TryEmplace(keys[i]).first = static_cast<int>(i);
  for (size_t i = 1000; i < keys.size(); ++i) *copy.TryEmplace(keys[i]).first = -static_cast<int>(i);
  for (size_t i = 0; i < keys.size(); ++i) {
    const int* inCopy = copy.Find(keys[i]);
    ASSERT_NE(inCopy, nullptr) << keys[i];
    EXPECT_EQ(*inCopy, i < 1000 ? static_cast<int>(i) : -static_cast<int>(i)) << keys[i];
    EXPECT_EQ(map.Find(keys[i]) != nullptr, i >= 1000) << keys[i];
  }
  ASSERT_NE(copy.Find(huge), nullptr);
  EXPECT_EQ(*copy.Find(huge), -1);
  EXPECT_EQ(map.Find(huge), nullptr);
  std::vector<std::string> expected(keys.begin(), keys.begin() + 1000);
  expected.push_back(huge);
  expected.insert(expected.end(), keys.begin() + 1000, keys.end());
  std::vector<std::string> inOrder;
  copy.ForEach([&](std::string_view key, int) { inOrder.emplace_back(key); });
  EXPECT_EQ(inOrder, expected);
}
