#include "engine/dependency_memo.h"

#include <gtest/gtest.h>

#include <map>

namespace tessel::test {
namespace {

// An entry is expanded again only when a variable it used changed; the set
// of variables it uses may grow and shrink with its values.
TEST(DependencyMemo, FollowsTheVariablesAnEntryComesToUse) {
  const std::map<std::string, int64_t> times{{"x.c", 1}, {"y.c", 2}, {"z.c", 3}};
  int dated = 0;
  auto timeOf = [&](const std::string& path) {
    ++dated;
    const auto found = times.find(path);
    return found == times.end() ? int64_t{0} : found->second;
  };
  TParamlist vars;
  TDependencyMemo memo;
  const std::vector<std::string> list{"$(A)"};
  auto newest = [&] { return memo.Newest(list, vars, 0, timeOf, -1); };

  vars.SetValue("A", "x.c");
  EXPECT_EQ(newest(), 1);
  vars.SetValue("A", "$(B)");
  vars.SetValue("B", "y.c");
  EXPECT_EQ(newest(), 2);
  vars.SetValue("B", "z.c");
  EXPECT_EQ(newest(), 3);
  vars.SetValue("A", "$(C)");  // as many names as before, one of them another
  vars.SetValue("C", "y.c");
  EXPECT_EQ(newest(), 2);
  vars.SetValue("C", "x.c");
  EXPECT_EQ(newest(), 1);
  vars.SetValue("A", "x.c");
  EXPECT_EQ(newest(), 1);
  vars.SetValue("B", "y.c");  // no longer used
  EXPECT_EQ(newest(), 1);

  // With a status epoch a file is dated once per epoch.
  dated = 0;
  EXPECT_EQ(memo.Newest(list, vars, 7, timeOf, -1), 1);
  EXPECT_EQ(memo.Newest(list, vars, 7, timeOf, 5), 5);
  EXPECT_EQ(dated, 1);
}

}  // namespace
}  // namespace tessel::test
