#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the fuzz targets with clang (build/fuzz) and runs
# each for SECONDS (default 30) on its corpus, seeded from fuzz/seeds and the
# example SDK, with its keyword dictionary. The working corpora grow in
# build/fuzz/corpus/<target>, logs go to build/fuzz/logs, and a crash leaves
# its input as build/fuzz/artifacts/<target>/crash-*. Exits non-zero when a
# target finds a fault. Run one target longer by hand, for example:
#   build/fuzz/fuzz/fuzz_patch_script -max_total_time=3600 -timeout=20 \
#     -dict=fuzz/patch_script.dict build/fuzz/corpus/patch_script fuzz/seeds/patch_script
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
build="$root/build/fuzz"
targets=(patch_script project_script bitmap settings)

command -v clang++ >/dev/null || { echo "fuzz: clang++ is missing (scripts/setup.sh installs it)" >&2; exit 1; }
CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSEL_FUZZ=ON -DTESSEL_BUILD_TESTS=OFF -DTESSEL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p "$build/logs"
failed=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  echo "== fuzz_$target for $seconds s"
  if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -dict="$root/fuzz/$target.dict" -artifact_prefix="$artifacts/" \
    "$corpus" "$root/fuzz/seeds/$target" >"$build/logs/$target.log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^#[0-9]+ *DONE' "$build/logs/$target.log" | tail -2
  else
    failed=1
    echo "fuzz_$target found a fault; see $build/logs/$target.log and $artifacts" >&2
    tail -40 "$build/logs/$target.log" >&2
  fi
done
exit "$failed"
