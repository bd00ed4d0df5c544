#include <gtest/gtest.h>

#include "tests/engine/engine_fixture.h"

namespace tessel::test {
namespace {

using KeywordLists = TEngineTest;

TEST_F(KeywordLists, ValuesAppendAndABlankValueDiscardsTheList) {
  RunLines({"DIR=\"C:\\SH\"", "SETENV=SHC_LIB;$(DIR)\\bin", "SETENV=SHC_TMP;\"$(DIR)\"",
            "OPTION=-I$(DIR)", "OPTION=-I$(DIR)", "ASM_OPT=-a", "ASM_OPT=   ", "LIB_OPT=-x",
            "LIB_OPT=", "LIB_OPT=-y", "SETENV=$(NOTHING)", "LIB_MOD_OPT=-m",
            "MESSAGE_TO_IGNORE=w;ON", "DEPENDENCY=$(DIR)\\d"});
  // SETENV stores its expansion, and an expansion to nothing discards.
  EXPECT_EQ(engine->List(klSetEnv), nullptr);
  EXPECT_EQ(engine->Vars.ValueOf("SETENV"), "$(NOTHING)");
  // Other lists keep raw values, repeated values included.
  EXPECT_EQ(*engine->List(klOption), (TStringList{"-I$(DIR)", "-I$(DIR)"}));
  EXPECT_EQ(engine->List(klAsmOpt), nullptr);
  EXPECT_EQ(*engine->List(klLibOpt), TStringList{"-y"});
  // Each line also sets its variable to the raw value.
  EXPECT_EQ(engine->Vars.ValueOf("OPTION"), "-I$(DIR)");
  EXPECT_EQ(engine->Vars.ValueOf("ASM_OPT"), "   ");
  EXPECT_EQ(engine->Vars.ValueOf("LIB_OPT"), "-y");
  EXPECT_EQ(engine->Vars.ValueOf("LIB_MOD_OPT"), "-m");
  EXPECT_EQ(engine->Vars.ValueOf("MESSAGE_TO_IGNORE"), "w;ON");
  EXPECT_EQ(engine->Vars.ValueOf("DEPENDENCY"), "$(DIR)\\d");

  RunLines({"DIR=\"C:\\SH\"", "SETENV=SHC_LIB;$(DIR)\\bin", "SETENV=SHC_TMP;\"$(DIR)\""});
  EXPECT_EQ(*engine->List(klSetEnv), (TStringList{"SHC_LIB;C:\\SH\\bin", "SHC_TMP;C:\\SH"}));
  // Neither list line is echoed.
  EXPECT_EQ(LogText().find("SHC_"), std::string::npos);
}

TEST_F(KeywordLists, PopRestoresVariablesExactlyAndListsPresentAtBothMoments) {
  RunLines({"A=1", "B=2", "OPTION=o1", "ASM_OPT=a1", "PUSH=", "A=changed", "C=new",
            "B=", "OPTION=o2", "ASM_OPT=", "LIB_OPT=created after", "POP="});
  const TParamlist& vars = engine->Vars;
  EXPECT_EQ(vars.ValueOf("A"), "1");
  EXPECT_EQ(vars.ValueOf("B"), "2");
  EXPECT_EQ(vars.IndexOfName("C"), -1);
  EXPECT_EQ(vars.IndexOfName("POP"), -1);
  EXPECT_EQ(*engine->List(klOption), TStringList{"o1"});
  EXPECT_EQ(engine->List(klAsmOpt), nullptr);                        // absent now: copy dropped
  EXPECT_EQ(*engine->List(klLibOpt), TStringList{"created after"});  // marker: kept
}

TEST_F(KeywordLists, PushAndPopNestAndAnEmptyStackRestoresNothing) {
  RunLines({"LEVEL=0", "OPTION=0", "PUSH=1", "LEVEL=1", "OPTION=1", "PUSH=2", "LEVEL=2", "OPTION=2",
            "POP=", "INNER=$(LEVEL)", "INNER_OPTS=x", "POP=", "POP=last", "AFTER=1"});
  const TParamlist& vars = engine->Vars;
  EXPECT_EQ(vars.ValueOf("LEVEL"), "0");
  EXPECT_EQ(vars.IndexOfName("INNER"), -1);
  EXPECT_EQ(vars.ValueOf("AFTER"), "1");
  // With nothing to restore, the POP line stays set like any other line.
  EXPECT_EQ(vars.ValueOf("POP"), "last");
  EXPECT_EQ(*engine->List(klOption), TStringList{"0"});
  // The inner POP went back to the state of the second PUSH.
  EXPECT_NE(LogText().find("INNER=1\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tessel::test
