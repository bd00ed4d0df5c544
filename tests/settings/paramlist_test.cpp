#include "settings/uParamlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "support/text.h"

using namespace tessel;

namespace {

// The first line in order whose name matches, found the slow and obvious way.
long ScanForName(const TParamlist& list, const std::string& name) {
  for (size_t i = 0; i < list.Count(); ++i) {
    const std::string& line = list.Line(i);
    const size_t eq = line.find('=');
    if (eq != std::string::npos && SameTextAnsi(line.substr(0, eq), name)) {
      return static_cast<long>(i);
    }
  }
  return -1;
}

// The expansion rules applied literally: quotes go first (when asked), then
// the first "$(" with a ")" after it names a token whose value (expanded
// unquoted, a name already being expanded giving its cycle mark) replaces
// every occurrence of the token; the search restarts at the beginning.
std::string LiteralExpand(const TParamlist& list, std::string text, bool unquote,
                          std::vector<std::string>& active) {
  if (unquote) std::erase(text, '"');
  for (int pass = 0; pass < TParamlist::kMaxExpandPasses; ++pass) {
    const size_t at = text.find("$(");
    if (at == std::string::npos) break;
    const size_t close = text.find(')', at + 2);
    if (close == std::string::npos) break;
    const std::string token = text.substr(at, close - at + 1);
    const std::string name = token.substr(2, token.size() - 3);
    const std::string folded = AnsiUpperCase(name);
    std::string value;
    if (std::find(active.begin(), active.end(), folded) != active.end()) {
      value = TParamlist::CycleMark(name);
    } else if (name.find('=') == std::string::npos && list.IndexOfName(name) >= 0) {
      active.push_back(folded);
      value = LiteralExpand(list, list.ValueOf(name), true, active);
      active.pop_back();
    }
    if (value == token) break;  // found again on every pass
    text = ReplaceAll(text, token, value, false);
  }
  return text;
}

}  // namespace

TEST(ParamlistTest, ExpansionAgreesWithTheRulesAppliedLiterally) {
  // Texts and values made of the pieces that interact: references whose
  // values re-form "$(" with the text around them, quotes, cycles, names
  // holding "$(", unknown names and unclosed references.
  const std::vector<std::string> pieces = {"$(", ")",  "(",    "$",    "A",    "B",   "c",
                                           "x",  "\"", "$(A)", "$(B)", "$(c)", "$(D)"};
  std::mt19937 random(20261208);
  auto some = [&](size_t most) {
    std::string text;
    const size_t count = random() % (most + 1);
    for (size_t i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
    return text;
  };
  for (int round = 0; round < 20000; ++round) {
    // Built through every way of changing lines, as what the expansion
    // keeps beside each line must follow them all.
    TParamlist list;
    for (const char* name : {"A", "B", "C", "B", "A"}) {
      const std::string line = std::string(name) + "=" + some(4);
      switch (random() % 6) {
        case 0:
          list.SetValue(name, some(4));
          break;
        case 1:
          list.Add(line);
          break;
        case 2:
          list.Insert(0, line);
          break;
        case 3:
          if (list.Count() > 0) list.SetLine(random() % list.Count(), line);
          break;
        case 4:
          if (list.Count() > 0) list.Delete(random() % list.Count());
          break;
        default:
          list.SetText(list.Text() + line + "\r\n");
          break;
      }
    }
    const std::string text = some(8);
    const bool unquote = random() % 2 == 0;
    std::vector<std::string> active;
    const std::string literal = LiteralExpand(list, text, unquote, active);
    ASSERT_EQ(list.Expand(text, unquote), literal) << "text " << text << " in\n" << list.Text();
    // Compiled once, then expanded against the table as it changes: what
    // is kept of each nested value must follow every way of changing it.
    TParamlist::TCompiledText compiled = TParamlist::Compile(text, unquote);
    ASSERT_EQ(list.Expand(compiled), literal) << "compiled " << text << " in\n" << list.Text();
    std::vector<TParamlist::TNameRef> used;
    uint64_t usedAt = TParamlist::StampNow();
    std::string before = list.Expand(text, unquote, &used);
    for (int change = 0; change < 4; ++change) {
      const std::string name = std::string(1, "ABcD"[random() % 4]);
      const std::string line = name + "=" + some(4);
      const size_t count = list.Count();
      switch (random() % 8) {
        case 0:
          list.SetValue(name, some(4));
          break;
        case 1:
          if (count > 0) list.Delete(random() % count);
          break;
        case 2:
          list.SetValue(name, "");
          list.Add(line);
          break;
        case 3:
          if (count > 0) list.SetLine(random() % count, line);
          break;
        case 4:
          list.Insert(random() % (count + 1), line);
          break;
        case 5:
          list.SetText(list.Text());
          break;
        case 6: {
          // A copy expands from its own lines once the original changes.
          TParamlist copy = list;
          ASSERT_EQ(copy.Expand(compiled), before) << "copy of\n" << list.Text();
          list.SetValue(name, some(4));
          active.clear();
          ASSERT_EQ(copy.Expand(text, unquote), LiteralExpand(copy, text, unquote, active))
              << "copy " << text << " in\n"
              << copy.Text();
          if (random() % 2 == 0) list = copy;
          break;
        }
        default:
          if (random() % 4 == 0) list.Clear();
          list.Add(line);
          break;
      }
      active.clear();
      const std::string again = LiteralExpand(list, text, unquote, active);
      std::vector<TParamlist::TNameRef> plainUsed, compiledUsed;
      const uint64_t stamp = TParamlist::StampNow();
      ASSERT_EQ(list.Expand(text, unquote, &plainUsed), again) << "text " << text << " again in\n"
                                                               << list.Text();
      ASSERT_EQ(list.Expand(compiled, &compiledUsed), again) << "compiled " << text << " again in\n"
                                                             << list.Text();
      ASSERT_EQ(compiledUsed.size(), plainUsed.size()) << text;
      for (size_t i = 0; i < plainUsed.size(); ++i) {
        EXPECT_EQ(compiledUsed[i].number, plainUsed[i].number) << text;
        EXPECT_EQ(compiledUsed[i].generation, plainUsed[i].generation) << text;
      }
      // The names the last expansion used vouch for its result.
      const bool vouched = std::none_of(used.begin(), used.end(), [&](TParamlist::TNameRef ref) {
        return list.ChangeStamp(ref) > usedAt;
      });
      if (vouched) {
        ASSERT_EQ(again, before) << "unchanged names of " << text << " in\n" << list.Text();
      }
      used = std::move(plainUsed);
      usedAt = stamp;
      before = again;
    }
  }
}

TEST(ParamlistTest, SetValueReplacesInPlaceAndDeletesOnEmpty) {
  TParamlist list;
  list.SetValue("A", "1");
  list.SetValue("PROG", "Y");
  list.SetValue("C", "3");
  list.SetValue("missing", "");
  EXPECT_EQ(list.Text(), "A=1\r\nPROG=Y\r\nC=3\r\n");

  list.SetValue("prog", "X");
  EXPECT_EQ(list.Text(), "A=1\r\nprog=X\r\nC=3\r\n");
  EXPECT_EQ(list.ValueOf("PROG"), "X");

  list.SetValue("a", "");
  EXPECT_EQ(list.Text(), "prog=X\r\nC=3\r\n");
  EXPECT_EQ(list.ValueOf("A"), "");
  EXPECT_EQ(list.IndexOfName("c"), 1);

  // Values keep everything after the first "=", quotes and references too.
  list.SetValue("E", "x=\"$(C)\"");
  EXPECT_EQ(list.ValueOf("e"), "x=\"$(C)\"");
  // Code-page letters fold as names.
  list.SetValue("\xE4RGER", "1");
  EXPECT_EQ(list.ValueOf("\xC4rger"), "1");
}

TEST(ParamlistTest, FirstLineWinsAndTheIndexFollowsEveryChange) {
  TParamlist list;
  list.Add("K=first");
  list.Add("k=second");
  list.Add("no name line");
  EXPECT_EQ(list.ValueOf("K"), "first");
  list.Delete(0);
  EXPECT_EQ(list.ValueOf("K"), "second");
  EXPECT_EQ(list.IndexOfName("no name line"), -1);
  EXPECT_EQ(list.NameAt(1), "");
  EXPECT_EQ(list.ValueAt(1), "");
  EXPECT_EQ(list.IndexOf("NO NAME LINE"), 1);
  EXPECT_EQ(list.IndexOf("k=SECOND"), 0);
  EXPECT_EQ(list.IndexOf("k=other"), -1);

  // A repeated name placed in front of its first line takes over.
  TParamlist twice;
  twice.SetText("A=1\nB=2\nC=3");
  twice.Insert(1, "b=0");
  EXPECT_EQ(twice.ValueOf("B"), "0");
  twice.SetText("A=1\nB=2\nC=3");
  twice.SetLine(0, "c=0");
  EXPECT_EQ(twice.ValueOf("C"), "0");
  EXPECT_EQ(twice.IndexOfName("A"), -1);

  // Random edits against a plain scan: first with every name on one line at
  // most (the index is updated in place), then with repeated names.
  std::mt19937 random(12345);
  const std::vector<std::string> names = {"A", "b", "C", "d", "E", "F", "g", "a", "B"};
  for (bool unique : {true, false}) {
    list.Clear();
    const size_t nameCount = unique ? 7 : names.size();
    for (int step = 0; step < 4000; ++step) {
      const std::string name = names[random() % nameCount];
      const std::string value = (random() % 4 == 0) ? "" : std::to_string(step);
      const std::string line = random() % 5 == 0 ? name : name + "=" + value;
      const bool fresh = ScanForName(list, name) < 0;
      switch (random() % 6) {
        case 0:
          list.SetValue(name, value);
          break;
        case 1:
          if (!unique || fresh) list.Insert(random() % (list.Count() + 1), line);
          break;
        case 2:
          if (list.Count() > 0) list.Delete(random() % list.Count());
          break;
        case 3:
          if (list.Count() > 0 && (!unique || fresh)) list.SetLine(random() % list.Count(), line);
          break;
        case 4:
          if (!unique || fresh) list.Add(line);
          break;
        default:
          if (list.Count() > 5) list.SetText(list.Text());
          break;
      }
      for (const std::string& probe : names) {
        ASSERT_EQ(list.IndexOfName(probe), ScanForName(list, probe))
            << "step " << step << (unique ? " unique" : " repeated");
      }
    }
  }
}

TEST(ParamlistTest, WholeTextAcceptsBothLineEnds) {
  TParamlist list;
  list.SetText("A=1\r\nB=2\nC=3");
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.Line(2), "C=3");
  EXPECT_EQ(list.Text(), "A=1\r\nB=2\r\nC=3\r\n");
  list.SetText("X=1\n\nY=2\r\n");
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.Line(1), "");
  EXPECT_EQ(list.ValueOf("Y"), "2");
  list.SetText("");
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.Text(), "");
  list.Clear();
  EXPECT_EQ(list.ValueOf("X"), "");
}

TEST(ParamlistTest, ExpandResolvesNestedReferences) {
  TParamlist list;
  list.SetValue("A", "1");
  list.SetValue("B", "$(A)2");
  list.SetValue("prog", "p");
  EXPECT_EQ(list.Expand("x$(B)y", false), "x12y");
  EXPECT_EQ(list.ExpandedValue("b", false), "12");
  EXPECT_EQ(list.Expand("$(PROG)-$(prog)-$(Prog)", false), "p-p-p");
  EXPECT_EQ(list.Expand("a$(NONE)b$()c", false), "abc");
  EXPECT_EQ(list.Expand("$(A) $(A", false), "1 $(A");
  EXPECT_EQ(list.Expand("x $(A", false), "x $(A");
  EXPECT_EQ(list.Expand("no refs", true), "no refs");

  // The search restarts at the beginning after each token: an inserted "$("
  // joins the text after it.
  list.SetValue("OPEN", "$(");
  list.SetValue("Z", "z");
  EXPECT_EQ(list.Expand("$(OPEN)Z)", false), "z");
  // ... and a "$" just before a token joins a value starting with "(".
  list.SetValue("PAREN", "(Z)");
  EXPECT_EQ(list.Expand("x$$(PAREN)$(A)", false), "xz1");
  EXPECT_EQ(list.Expand("$(B)$$(PAREN)", false), "12z");
  // Every occurrence of the exact token goes in one pass.
  EXPECT_EQ(list.Expand("$(A)$(B)$(A)", false), "1121");
}

TEST(ParamlistTest, QuotesOfValuesAlwaysGoThoseOfTheTextOnlyWhenAsked) {
  TParamlist list;
  list.SetValue("DIR", "\"C:\\My Files\"");
  EXPECT_EQ(list.Expand("-I $(DIR)", false), "-I C:\\My Files");
  EXPECT_EQ(list.Expand("-I \"$(DIR)\"", false), "-I \"C:\\My Files\"");
  EXPECT_EQ(list.Expand("-I $(DIR)", true), "-I C:\\My Files");
  EXPECT_EQ(list.Expand("-I \"$(DIR)\"", true), "-I C:\\My Files");
  EXPECT_EQ(list.Expand("a\"b\"\"c", true), "abc");
  EXPECT_EQ(list.ExpandedValue("DIR", false), "\"C:\\My Files\"");
  EXPECT_EQ(list.ExpandedValue("DIR", true), "C:\\My Files");
  // A quoted name inside a value loses its quotes before the lookup.
  list.SetValue("Q", "$(\"DIR\")");
  EXPECT_EQ(list.ExpandedValue("Q", true), "C:\\My Files");
}

TEST(ParamlistTest, SelfReferencesStopWithACycleMark) {
  TParamlist list;
  list.SetValue("X", "a$(x)");
  EXPECT_EQ(list.Expand("$(X)", false), "a" + TParamlist::CycleMark("x"));
  EXPECT_EQ(TParamlist::CycleMark("x"), "<CYCLE:x>");

  list.SetValue("P", "a$(Q)");
  list.SetValue("Q", "b$(P)");
  EXPECT_EQ(list.Expand("[$(P)]", false), "[ab<CYCLE:P>]");
  EXPECT_EQ(list.Expand("[$(Q)|$(P)]", false), "[ba<CYCLE:Q>|ab<CYCLE:P>]");

  // Not every repetition is a cycle: siblings may share a name.
  list.SetValue("S", "s");
  list.SetValue("TWICE", "$(S)$(S)-$(S)");
  EXPECT_EQ(list.Expand("$(TWICE)$(TWICE)", false), "ss-sss-s");

  // A value re-forming its own token with a ")" of the text ends anyway.
  list.SetValue("R", "$(R");
  EXPECT_EQ(list.Expand("$(R))", false), "$(R");
}

TEST(ParamlistTest, NestedValuesFollowEveryChangeOfTheirLines) {
  // Expanded again after each change, as a script's lines are step by step.
  TParamlist list;
  list.SetText("WORKDIR=C:\\w\nINCDIR=$(WORKDIR)\\inc\nPROG=p");
  TParamlist::TCompiledText header = TParamlist::Compile("\"$(INCDIR)\\$(PROG).H\"", true);
  EXPECT_EQ(list.Expand(header), "C:\\w\\inc\\p.H");
  list.SetLine(0, "WORKDIR=D:");
  EXPECT_EQ(list.Expand(header), "D:\\inc\\p.H");
  // A line put before the first one of a name takes over, and gives way.
  list.Insert(0, "workdir=E:");
  EXPECT_EQ(list.Expand(header), "E:\\inc\\p.H");
  list.Delete(0);
  EXPECT_EQ(list.Expand(header), "D:\\inc\\p.H");
  // Renamed by SetLine, then back with other references and quotes.
  list.SetLine(1, "INCDIRS=$(WORKDIR)");
  EXPECT_EQ(list.Expand(header), "\\p.H");
  list.SetLine(1, "IncDir=\"$(PROG)\"$(WORKDIR)");
  EXPECT_EQ(list.Expand(header), "pD:\\p.H");
  // Losing its references, then holding a "$" that forms one with the text.
  list.SetValue("INCDIR", "plain");
  EXPECT_EQ(list.Expand(header), "plain\\p.H");
  list.SetValue("INCDIR", "$");
  EXPECT_EQ(list.Expand("$(INCDIR)(PROG)", false), "p");
  list.SetValue("INCDIR", "$(WORKDIR)$");
  EXPECT_EQ(list.Expand(header), "D:$\\p.H");
  // Deleted and added again at the end.
  list.SetValue("INCDIR", "i$(WORKDIR)");
  list.SetValue("WORKDIR", "");
  EXPECT_EQ(list.Expand(header), "i\\p.H");
  list.Add("WORKDIR=F:");
  EXPECT_EQ(list.Expand(header), "iF:\\p.H");
  // A table filled again numbers its names afresh.
  list.SetText("PROG=q\nX=x\nINCDIR=$(PROG)$(X)");
  EXPECT_EQ(list.Expand(header), "qx\\q.H");
  list.Clear();
  list.Add("INCDIR=$(PROG)");
  EXPECT_EQ(list.Expand(header), "\\.H");

  // A cycle through a kept value is found every time, and ends with it.
  list.SetText("X=a$(Y)\nY=b$(x)");
  for (int i = 0; i < 2; ++i) EXPECT_EQ(list.Expand("$(X)", false), "ab<CYCLE:x>");
  list.SetValue("Y", "b");
  EXPECT_EQ(list.Expand("$(X)", false), "ab");
  list.SetLine(1, "Y=c$(X)");
  EXPECT_EQ(list.Expand("$(X)", false), "ac<CYCLE:X>");

  // The names a kept value refers to are reported as when it was made.
  list.SetText("A=$(B)$(C)\nB=$(C)");
  std::vector<TParamlist::TNameRef> first, second;
  list.Expand("$(A)", false, &first);
  list.Expand("$(A)", false, &second);
  ASSERT_EQ(first.size(), 4u);  // A, B, C inside B, C
  ASSERT_EQ(second.size(), first.size());
  for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(second[i].number, first[i].number);
  const uint64_t stamp = TParamlist::StampNow();
  list.SetValue("C", "c");
  EXPECT_GT(list.ChangeStamp(second[2]), stamp);
  EXPECT_EQ(list.Expand("$(A)", false), "cc");
}

TEST(ParamlistTest, ACopyExpandsItsOwnValues) {
  TParamlist list;
  list.SetText("BASE=1\nV=$(BASE)$(BASE)");
  EXPECT_EQ(list.Expand("$(V)", false), "11");
  TParamlist copy = list;
  EXPECT_EQ(copy.Expand("$(V)", false), "11");
  list.SetValue("BASE", "2");
  EXPECT_EQ(list.Expand("$(V)", false), "22");
  EXPECT_EQ(copy.Expand("$(V)", false), "11");
  // Names new to each side share numbers but not values.
  list.SetValue("ONE", "$(BASE)L");
  copy.SetValue("TWO", "$(BASE)C");
  EXPECT_EQ(list.Expand("$(ONE)$(TWO)", false), "2L");
  EXPECT_EQ(copy.Expand("$(ONE)$(TWO)", false), "1C");
  // Assigned over, the table expands what it was given.
  list = copy;
  EXPECT_EQ(list.Expand("$(ONE)$(TWO)$(V)", false), "1C11");
  copy.SetValue("BASE", "3");
  EXPECT_EQ(list.Expand("$(TWO)", false), "1C");
  EXPECT_EQ(copy.Expand("$(TWO)", false), "3C");
}

TEST(ParamlistTest, LongChainsDoNotExhaustTheStack) {
  TParamlist list;
  const int depth = 50000;
  for (int i = 0; i < depth; ++i) {
    list.Add("V" + std::to_string(i) + "=$(V" + std::to_string(i + 1) + ")");
  }
  list.Add("V" + std::to_string(depth) + "=end");
  EXPECT_EQ(list.Expand("<$(v0)>", false), "<end>");
  list.SetValue("V" + std::to_string(depth), "$(V0)");
  EXPECT_EQ(list.Expand("$(V0)", false), "<CYCLE:V0>");
}

TEST(ParamlistTest, OneExpandResolvesAtMostTheCappedNumberOfReferences) {
  TParamlist list;
  std::string text;
  const int references = TParamlist::kMaxExpandPasses + 3;
  for (int i = 0; i < references; ++i) text += "$(U" + std::to_string(i) + ")";
  const int cap = TParamlist::kMaxExpandPasses;
  EXPECT_EQ(list.Expand(text, false), "$(U" + std::to_string(cap) + ")$(U" +
                                          std::to_string(cap + 1) + ")$(U" +
                                          std::to_string(cap + 2) + ")");
}

TEST(ParamlistTest, AnExpansionYieldsAtMostOneMebibyte) {
  // Each line doubles the one before: 31 of them would ask for 2 GiB.
  TParamlist list;
  list.SetValue("A0", "x");
  for (int i = 1; i <= 31; ++i) {
    const std::string before = "$(A" + std::to_string(i - 1) + ")";
    list.SetValue("A" + std::to_string(i), before + before);
  }
  EXPECT_EQ(list.Expand("$(A20)", true).size(), TParamlist::kMaxExpandedSize);
  try {
    list.Expand("<$(A31)>", false);
    FAIL() << "no bound";
  } catch (const EExpansionTooLarge& e) {
    EXPECT_EQ(std::string(e.what()), "Expansion of $(A20) exceeds 1048576 bytes!");
  }
  EXPECT_THROW(list.Expand("$(A20)$(A0)", false), EExpansionTooLarge);
  EXPECT_THROW(list.ExpandedValue("A21", true), EExpansionTooLarge);
  // Many references to small values are bounded the same way.
  list.SetValue("K", std::string(1000, 'k'));
  std::string many;
  for (int i = 0; i < 1100; ++i) many += "$(K)";
  EXPECT_THROW(list.Expand(many, false), EExpansionTooLarge);
}

TEST(ParamlistTest, SettingAValueAgainStampsOnlyItsNameAndKeepsItsPlace) {
  TParamlist list;
  list.SetValue("A", "1");
  list.SetValue("B", "2");
  const uint64_t before = TParamlist::StampNow();
  EXPECT_LE(list.ChangeStamp("A"), before);
  list.SetValue("a", "three");  // the line takes the name as given now
  EXPECT_GT(list.ChangeStamp("A"), before);
  EXPECT_LE(list.ChangeStamp("B"), before);
  EXPECT_EQ(list.Text(), "a=three\r\nB=2\r\n");
  EXPECT_EQ(list.IndexOfName("A"), 0);
  EXPECT_EQ(list.Expand("$(A)$(b)", false), "three2");
  const uint64_t later = TParamlist::StampNow();
  list.SetValue("A", "");
  EXPECT_GT(list.ChangeStamp("A"), later);
  EXPECT_EQ(list.IndexOfName("B"), 0);
}

TEST(ParamlistTest, ACopyCountsAsChangedEverywhere) {
  // A restored copy (POP) may differ in any name from what was vouched for.
  TParamlist list;
  list.SetValue("A", "1");
  const uint64_t before = TParamlist::StampNow();
  TParamlist copy = list;
  EXPECT_GT(copy.ChangeStamp("A"), before);
  EXPECT_GT(copy.ChangeStamp("NEVER"), before);
  const uint64_t later = TParamlist::StampNow();
  list = std::move(copy);
  EXPECT_GT(list.ChangeStamp("A"), later);
  EXPECT_EQ(list.ValueOf("a"), "1");
  list.SetValue("B", "2");
  list.SetValue("A", "");
  EXPECT_EQ(list.IndexOfName("B"), 0);
  EXPECT_EQ(list.Text(), "B=2\r\n");
}

TEST(ParamlistTest, NamesAnExpansionUsedTellWhenItsResultMayDiffer) {
  TParamlist list;
  list.SetValue("A", "$(B)x");
  std::vector<TParamlist::TNameRef> used;
  const uint64_t stamp = TParamlist::StampNow();
  EXPECT_EQ(list.Expand("$(a)$(C)", false, &used), "x");
  ASSERT_EQ(used.size(), 3u);  // A, B inside it, and the unknown C
  auto changed = [&] {
    return std::any_of(used.begin(), used.end(),
                       [&](TParamlist::TNameRef name) { return list.ChangeStamp(name) > stamp; });
  };
  EXPECT_FALSE(changed());
  list.SetValue("D", "unrelated");
  EXPECT_FALSE(changed());
  list.SetValue("c", "now known");
  EXPECT_TRUE(changed());

  // Through the general algorithm too ("$" before a reference), and a
  // table rewritten as a whole vouches for nothing taken before.
  used.clear();
  const uint64_t again = TParamlist::StampNow();
  EXPECT_EQ(list.Expand("$$(A)", false, &used), "$x");
  ASSERT_EQ(used.size(), 2u);
  EXPECT_LE(list.ChangeStamp(used[1]), again);
  list.SetText(list.Text());
  EXPECT_GT(list.ChangeStamp(used[0]), again);
  EXPECT_GT(list.ChangeStamp(used[1]), again);
}
