#!/usr/bin/env bash
# demo_build.sh CLI TOOLDIR SCRATCH: builds the example add-in in a fresh copy
# of examples/sdk at SCRATCH. Installs the tool programs asmsh, shcpp and
# optlnk from TOOLDIR into the copy's BIN directory, makes the calculator
# library there with them, points the copy's base settings at the copy,
# generates the project scripts with CLI (tessel-cli), builds with the
# pre-build checks and the library grooming, and builds again, which must
# find everything up to date. CLI runs as if installed in the copy's BIN
# (PD=) and keeps its program settings in the copy (IF=). Prints where the
# .G3A is; exits non-zero when any step fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

fail() {
  echo "demo: $*" >&2
  exit 1
}

[ $# -eq 3 ] || fail "usage: demo_build.sh TESSEL-CLI TOOL-DIRECTORY SCRATCH-DIRECTORY"
cli="$1"
tools="$2"
sdk="$3"
[ -x "$cli" ] || fail "tessel-cli not found at $cli"
for name in asmsh shcpp optlnk; do
  [ -x "$tools/$name" ] || fail "tool program $name not found in $tools"
done

# Fresh each time, but never remove a directory that is not an earlier copy.
if [ -e "$sdk" ]; then
  [ -f "$sdk/BaseOptions/BaseOptions.ini" ] ||
    fail "$sdk exists and is no copy of the example SDK; not removing it"
  rm -rf "$sdk"
fi
mkdir -p "$(dirname "$sdk")"
cp -R "$root/examples/sdk" "$sdk"
sdk="$(cd "$sdk" && pwd)"

# The base settings name the SDK directory by the placeholder {SDK}.
escaped="$(printf '%s' "$sdk" | sed 's/[&|\\]/\\&/g')"
sed -i "s|{SDK}|$escaped|g" "$sdk/BaseOptions/BaseOptions.ini"
for name in asmsh shcpp optlnk; do
  cp "$tools/$name" "$sdk/BIN/$name"
done
# The calculator maker's library, made from our own sources by the tool chain.
"$root/scripts/make_calculator_library.sh" "$sdk" || fail "making the calculator library failed"
export TESSEL_ENGINE_LOG="$sdk/ENGINE.LOG"
tessel() { "$cli" PD="$sdk/BIN" IF="$sdk/TESSEL.INI" "$@"; }

echo "== Generating the scripts of $sdk/Projects/DEMO.INI"
tessel generate "$sdk/Projects/DEMO.INI" --yes || fail "generating the project scripts failed"

echo "== Building $sdk/Projects/DEMO.INI"
tessel build "$sdk/Projects/DEMO.INI" | tee "$sdk/BUILD1.TXT" || fail "the build failed"
g3a="$sdk/Projects/DEMO/DEMO.G3A"
[ -f "$g3a" ] || fail "the build wrote no add-in: $g3a is missing (see the messages above)"
[ -f "$sdk/LIB/fxCG_library.lib" ] || fail "the build did not prepare LIB/fxCG_library.lib"

echo "== Building again"
tessel build "$sdk/Projects/DEMO.INI" | tee "$sdk/BUILD2.TXT" || fail "the second build failed"
# Every tool run shows its command line, every bind its start line, every
# library preparation its copy line.
if grep -q -e '-SUB=TEMP.TXT' -e '^Start! ' -e '^Copy: ' "$sdk/BUILD2.TXT"; then
  fail "the second build ran tools again; everything should have been up to date"
fi
echo "Everything is up to date."
echo
echo "The add-in is $g3a ($(wc -c <"$g3a") bytes)."
