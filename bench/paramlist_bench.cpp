// Variable expansion in a table the size of a large installation's scripts.

#include <benchmark/benchmark.h>

#include <string>

#include "settings/uParamlist.h"

namespace {

using tessel::TParamlist;

constexpr int kVariables = 5000;

// V0 ... V4999; every tenth value refers to two others, as directory
// variables built from a base directory do.
TParamlist MakeTable() {
  TParamlist table;
  for (int i = 0; i < kVariables; ++i) {
    std::string value = "C:\\SDK\\DIR" + std::to_string(i);
    if (i % 10 == 0 && i + 2 < kVariables) {
      value = "$(V" + std::to_string(i + 1) + ")\\$(V" + std::to_string(i + 2) + ")";
    }
    table.SetValue("V" + std::to_string(i), value);
  }
  return table;
}

std::string TenReferences() {
  std::string line = "\"$(BINDIR)\\SHCPP.EXE\" -SUB=TEMP.TXT";
  for (int k = 0; k < 10; ++k) line += " -I $(V" + std::to_string(k * 499) + ")";
  return line;
}

void BM_ExpandTenReferences(benchmark::State& state) {
  const TParamlist table = MakeTable();
  const std::string line = TenReferences();
  for (auto _ : state) benchmark::DoNotOptimize(table.Expand(line, state.range(0) != 0));
}
BENCHMARK(BM_ExpandTenReferences)->Arg(0)->Arg(1);

void BM_SetValueReplaceInPlace(benchmark::State& state) {
  TParamlist table = MakeTable();
  int i = 0;
  for (auto _ : state) {
    table.SetValue("v" + std::to_string(i), "changed" + std::to_string(i));
    i = (i + 7) % kVariables;
  }
}
BENCHMARK(BM_SetValueReplaceInPlace);

void BM_FillTable(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(MakeTable());
}
BENCHMARK(BM_FillTable);

}  // namespace
