#include "app/dependency_entry.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_ui.h"

namespace tessel::test {
namespace {

TEST(DependencyEntry, CellsAndResult) {
  TScriptedUserInterface ui;
  ui.dependencyAnswers = {TDependencyEntry{"", ""}, TDependencyEntry{"X.H", "Link"},
                          TDependencyEntry{"A", "B"}};
  EXPECT_EQ(EditDependencyEntry("", ui), ";");
  EXPECT_EQ(EditDependencyEntry("$(PROJECTDIR)\\X.H", ui), "X.H;Link");
  EXPECT_EQ(EditDependencyEntry("A;B;C", ui), "A;B");
  ASSERT_EQ(ui.dependencyShown.size(), 3u);
  EXPECT_EQ(ui.dependencyShown[1].file, "$(PROJECTDIR)\\X.H");
  EXPECT_EQ(ui.dependencyShown[1].type, "");
  EXPECT_EQ(ui.dependencyShown[2].file, "A");
  EXPECT_EQ(ui.dependencyShown[2].type, "B");

  // Cancel returns the value unchanged, whatever the cells held.
  EXPECT_EQ(EditDependencyEntry("A;B;C", ui), "A;B;C");
  EXPECT_EQ(kDependencyTypes[3], std::string("Link RAM BIN"));
}

}  // namespace
}  // namespace tessel::test
