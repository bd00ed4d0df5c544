#!/usr/bin/env bash
# Sets up what is missing, builds Tessel and runs the main job.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cli="$root/build/release/cli/tessel-cli"
"$cli" --version
echo "tessel-cli is at $cli"
