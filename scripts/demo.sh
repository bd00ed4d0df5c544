#!/usr/bin/env bash
# Sets up what is missing, builds Tessel and the stand-in SH tool chain, and
# builds the example add-in in a fresh copy of the example SDK
# (build/demo-sdk), then prints where the .G3A is.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo
"$root/scripts/demo_build.sh" "$root/build/release/cli/tessel-cli" \
  "$root/build/release/examples/toolchain/tessel-sh-standin" "$root/build/demo-sdk"
