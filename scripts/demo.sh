#!/usr/bin/env bash
# Sets up what is missing (the SH cross tools included), builds Tessel and its
# tool programs asmsh, shcpp and optlnk, and builds the example add-in in a
# fresh copy of the example SDK (build/demo-sdk) with the real cross tools,
# then prints where the .G3A is.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo
"$root/scripts/demo_build.sh" "$root/build/release/cli/tessel-cli" \
  "$root/build/release/toolchain" "$root/build/demo-sdk"
