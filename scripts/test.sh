#!/usr/bin/env bash
# Sets up what is missing, then builds and runs the whole suite twice: a
# normal build and a Debug build with AddressSanitizer and
# UndefinedBehaviorSanitizer; then runs each fuzz target for 30 seconds.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"

jobs="$(nproc)"
echo "== normal build"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$root/build/release" -j "$jobs" --output-on-failure

echo "== sanitizer build"
"$root/scripts/build.sh" "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DTESSEL_SANITIZE=ON \
  -DTESSEL_BUILD_BENCHMARKS=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build/sanitize" -j "$jobs" --output-on-failure
echo "== fuzz targets, 30 s each"
"$root/scripts/fuzz.sh" 30
echo "== all tests passed"
