#!/usr/bin/env bash
# Pictures of the desktop windows for the README: builds Tessel, makes a
# fresh copy of the example SDK with its add-in built (scripts/demo_build.sh),
# then starts the real program on it under Qt's offscreen platform. The
# program (told by TESSEL_SCREENSHOTS) builds the example with "Make all"
# and saves the main window after the build, the setup window on its pages
# "General settings" and "Project compile" and the dependency dialog into
# docs/screenshots/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/release"
out="$root/docs/screenshots"
sdk="$root/build/screenshot-sdk"

"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
[ -x "$build/gui/tessel" ] || { echo "screenshots: the desktop program was not built (Qt 6 missing?)" >&2; exit 1; }

"$root/scripts/demo_build.sh" "$build/cli/tessel-cli" \
  "$build/toolchain" "$sdk" >/dev/null

mkdir -p "$out"
rm -f "$out"/*.png
# The same program settings as the demo's builds: the last project is the
# example, its last build was made by this version (no "Make all" box).
TESSEL_ENGINE_LOG="$sdk/ENGINE.LOG" TESSEL_SCREENSHOTS="$out" QT_QPA_PLATFORM=offscreen \
  "$build/gui/tessel" PD="$sdk/BIN" IF="$sdk/TESSEL.INI"

for name in main-window setup-general setup-project-compile dependency-dialog; do
  picture="$out/$name.png"
  [ -s "$picture" ] || { echo "screenshots: $picture was not written" >&2; exit 1; }
  # A thin frame, since offscreen windows have none of their own.
  convert "$picture" -bordercolor '#8c8c8c' -border 1 "$picture"
done
echo "Pictures written to $out:"
ls -1 "$out"
