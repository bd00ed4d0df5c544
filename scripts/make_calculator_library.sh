#!/usr/bin/env bash
# make_calculator_library.sh SDK: assembles the sources of
# examples/calculator_library with the SDK's own tool chain (SDK/BIN/asmsh and
# SDK/BIN/optlnk) into SDK/BIN/fx9860G_library.lib, the library the build's
# pre-build checks copy and groom.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
[ $# -eq 1 ] || { echo "usage: make_calculator_library.sh SDK-DIRECTORY" >&2; exit 2; }
sdk="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

inputs=()
for source in "$root"/examples/calculator_library/*.SRC; do
  name="$(basename "$source" .SRC)"
  printf '"%s"\r\n-object="%s"\r\n' "$source" "$work/$name.OBJ" >"$work/TEMP.TXT"
  (cd "$work" && "$sdk/BIN/asmsh" -SUB=TEMP.TXT >"$work/asm.txt") || {
    cat "$work/asm.txt" >&2
    exit 1
  }
  inputs+=("-input=\"$work/$name.OBJ\"")
done
{
  printf -- '-form=library\r\n-output="%s"\r\n' "$sdk/BIN/fx9860G_library.lib"
  printf '%s\r\n' "${inputs[@]}"
} >"$work/TEMP.TXT"
(cd "$work" && "$sdk/BIN/optlnk" -SUB=TEMP.TXT >"$work/lnk.txt") || {
  cat "$work/lnk.txt" >&2
  exit 1
}
