#include "setup/prefix_substitution.h"

#include <gtest/gtest.h>

#include "setup/general_setting.h"

using namespace tessel;

namespace {

TEditorRows General(const std::vector<std::pair<std::string, std::string>>& values) {
  TEditorRows rows;
  for (const TGeneralSetting& setting : GeneralSettings) rows.Add(setting.Key, " ");
  for (const auto& [key, value] : values) rows.SetValue(key, value);
  return rows;
}

std::string Substituted(const TEditorRows& general, std::string value, bool* changed = nullptr) {
  bool result = SubstituteGeneralPrefixes(general, value);
  if (changed) *changed = result;
  return value;
}

}  // namespace

TEST(PrefixSubstitution, OnlyLongerValuesThatBeginWithTheParameterExactly) {
  TEditorRows general = General({{"SDKDIR", "C:\\SDK"}});
  bool changed = true;
  EXPECT_EQ(Substituted(general, "C:\\SDK", &changed), "C:\\SDK");
  EXPECT_FALSE(changed);
  EXPECT_EQ(Substituted(general, "C:\\SDK\\TPL", &changed), "$(SDKDIR)\\TPL");
  EXPECT_TRUE(changed);
  EXPECT_EQ(Substituted(general, "c:\\sdk\\TPL", &changed), "c:\\sdk\\TPL");
  EXPECT_FALSE(changed);
  EXPECT_EQ(Substituted(general, "D:\\C:\\SDK\\X"), "D:\\C:\\SDK\\X");
  // Once the value begins with the parameter, every occurrence goes.
  EXPECT_EQ(Substituted(general, "C:\\SDK\\A;C:\\SDK\\B"), "$(SDKDIR)\\A;$(SDKDIR)\\B");
  EXPECT_EQ(Substituted(general, ""), "");
}

TEST(PrefixSubstitution, LaterParametersReferToEarlierOnesInTheSamePass) {
  // LIBDIR as stored after a save: already a reference to SDKDIR.
  TEditorRows saved = General({{"SDKDIR", "C:\\SDK"}, {"LIBDIR", "$(SDKDIR)\\LIB"}});
  EXPECT_EQ(Substituted(saved, "C:\\SDK\\LIB\\X.CPP"), "$(LIBDIR)\\X.CPP");
  // LIBDIR still showing the plain path: after the first replacement it no
  // longer begins the value.
  TEditorRows unsaved = General({{"SDKDIR", "C:\\SDK"}, {"LIBDIR", "C:\\SDK\\LIB"}});
  EXPECT_EQ(Substituted(unsaved, "C:\\SDK\\LIB\\X.CPP"), "$(SDKDIR)\\LIB\\X.CPP");
  // A later pass picks up what an earlier pass made possible: PROJECTDIR
  // (row 7) begins the value only after WORKDIR (row 8) was replaced.
  TEditorRows chained = General({{"WORKDIR", "C:\\W"}, {"PROJECTDIR", "$(WORKDIR)\\P"}});
  EXPECT_EQ(Substituted(chained, "C:\\W\\P\\A.CPP"), "$(PROJECTDIR)\\A.CPP");
}

TEST(PrefixSubstitution, TheBackupCountIsNoPrefix) {
  TEditorRows general = General({{"SDKDIR", "C:\\SDK"}, {"MAXBACKUP", "1"}});
  EXPECT_EQ(Substituted(general, "1.02.0000"), "1.02.0000");
  EXPECT_EQ(Substituted(general, "1\\X.CPP"), "1\\X.CPP");
}

TEST(PrefixSubstitution, AValueFoundInItsOwnReferenceIsNoPrefixSoValuesSettle) {
  // "$" and "$(" begin every reference they would write: used as prefixes,
  // the stored values grew with every save.
  TEditorRows general = General({{"SDKDIR", "C"}, {"TEMPLATEDIR", "$"}, {"ASM_CMD", "$("}});
  bool changed = false;
  std::string result = Substituted(general, "C:\\X", &changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(result, "$(SDKDIR):\\X");
  EXPECT_EQ(Substituted(general, result, &changed), result);
  EXPECT_FALSE(changed);
  EXPECT_EQ(Substituted(general, "$(A)\\B"), "$(A)\\B");
}
