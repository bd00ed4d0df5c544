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
