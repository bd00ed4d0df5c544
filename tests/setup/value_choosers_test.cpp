#include "setup/value_choosers.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_ui.h"

using namespace tessel;

namespace {

// Records where each chooser starts.
class TRecordingUI : public test::TScriptedUserInterface {
 public:
  std::vector<std::string> starts;
  std::optional<std::string> ChooseFile(const std::string& filter,
                                        const std::string& start) override {
    starts.push_back(start);
    return TScriptedUserInterface::ChooseFile(filter, start);
  }
  std::optional<std::string> ChooseDirectory(const std::string& caption,
                                             const std::string& start) override {
    starts.push_back(start);
    return TScriptedUserInterface::ChooseDirectory(caption, start);
  }
};

TEditorRows General() {
  TEditorRows rows;
  rows.Add("SDKDIR", "C:\\SDK");
  rows.Add("TEMPLATEDIR", " ");
  rows.Add("BINDIR", "\"$(SDKDIR)\\BIN\"");
  rows.Add("PROJECTDIR", "$(SDKDIR)\\Projects");
  rows.Add("ASM_CMD", "$(BINDIR)\\ASMSH.EXE");
  rows.Add("MAXBACKUP", "7");
  return rows;
}

const TDependencyEditor NoDependencyEditor;

}  // namespace

TEST(ValueChoosersTest, GeneralRowsChooseByTheirKind) {
  TRecordingUI ui;
  ui.inputAnswers = {std::string("/opt/bin"), std::nullopt, std::string("C:\\SDK\\BIN\\X.EXE")};
  const TEditorRows general = General();

  // A directory row starts at its expanded value without quotes; the choice
  // is taken unchanged.
  EXPECT_EQ(ChooseRowValue("vleGeneral", "BINDIR", "x", general, ui, NoDependencyEditor),
            std::optional<std::string>("/opt/bin"));
  // A blank one starts at the drive; a cancel changes nothing.
  EXPECT_EQ(ChooseRowValue("vleGeneral", "TEMPLATEDIR", " ", general, ui, NoDependencyEditor),
            std::nullopt);
  // A command row asks for an executable, unchanged as well (no substitution).
  EXPECT_EQ(ChooseRowValue("vleGeneral", "ASM_CMD", "", general, ui, NoDependencyEditor),
            std::optional<std::string>("C:\\SDK\\BIN\\X.EXE"));
  // A number row has no chooser.
  EXPECT_EQ(ChooseRowValue("vleGeneral", "MAXBACKUP", "7", general, ui, NoDependencyEditor),
            std::nullopt);

  EXPECT_EQ(ui.starts,
            (std::vector<std::string>{"C:\\SDK\\BIN", "C:\\", "C:\\SDK\\BIN\\ASMSH.EXE"}));
  ASSERT_EQ(ui.boxes.size(), 3u);
  EXPECT_EQ(ui.boxes[0].text, "Select directory:");
  EXPECT_EQ(ui.boxes[2].text, "EXE|*.EXE");
}

TEST(ValueChoosersTest, ListRowsTakeTheChoiceWithGeneralPrefixes) {
  TRecordingUI ui;
  ui.inputAnswers = {std::string("C:\\SDK\\A.CPP"), std::string("C:\\SDK\\Projects\\D"),
                     std::string("C:\\OTHER\\F.TXT"), std::string("C:\\SDK\\Projects\\B.PAT")};
  const TEditorRows general = General();

  EXPECT_EQ(ChooseRowValue("vleProjectSource", "SRC_000", "$(PROJECTDIR)\\OLD.CPP", general, ui,
                           NoDependencyEditor),
            std::optional<std::string>("$(SDKDIR)\\A.CPP"));
  EXPECT_EQ(ChooseRowValue("vleRequiredProjectDirectories", "OPT_000", "", general, ui,
                           NoDependencyEditor),
            std::optional<std::string>("$(PROJECTDIR)\\D"));
  EXPECT_EQ(ChooseRowValue("vleRequiredFiles", "OPT_000", "\"$(SDKDIR)\\F\"", general, ui,
                           NoDependencyEditor),
            std::optional<std::string>("C:\\OTHER\\F.TXT"));
  // Bind options keep the choice as it is and start empty at "*empty*".
  EXPECT_EQ(ChooseRowValue("vleProjectBindOptions", "Makescript", "*empty*", general, ui,
                           NoDependencyEditor),
            std::optional<std::string>("C:\\SDK\\Projects\\B.PAT"));

  // Files start at the value expanded with its quotes, directories without.
  EXPECT_EQ(ui.starts,
            (std::vector<std::string>{"C:\\SDK\\Projects\\OLD.CPP", "C:\\", "\"C:\\SDK\\F\"", ""}));
  EXPECT_EQ(ui.boxes[0].text, "SDK-source|*.CPP;*.ASM;*.SRC");
  EXPECT_EQ(ui.boxes[2].text, "*.*");

  // Rows of other editors have no chooser.
  EXPECT_EQ(ChooseRowValue("vleLink", "OPT_000", "-a", general, ui, NoDependencyEditor),
            std::nullopt);
  EXPECT_EQ(ChooseRowValue("vleSyscalls", "0C3", "x", general, ui, NoDependencyEditor),
            std::nullopt);
  EXPECT_EQ(ui.boxes.size(), 4u);
}

TEST(ValueChoosersTest, DependencyRowsGoToTheDependencyEditor) {
  TRecordingUI ui;
  std::string seen;
  const TDependencyEditor edit = [&seen](const std::string& value) {
    seen = value;
    return std::string("B.H;Link");
  };
  EXPECT_EQ(ChooseRowValue("vleProjectDependencies", "DEP_000", "A.H;Compile", General(), ui, edit),
            std::optional<std::string>("B.H;Link"));
  EXPECT_EQ(seen, "A.H;Compile");
  EXPECT_TRUE(ui.boxes.empty());
}

TEST(ValueChoosersTest, NewRowKeysCarryTheTickCount) {
  const std::string key = NewRowKey();
  ASSERT_GT(key.size(), 4u);
  EXPECT_EQ(key.substr(0, 4), "NEW_");
  EXPECT_EQ(key.find_first_not_of("0123456789", 4), std::string::npos);
}
