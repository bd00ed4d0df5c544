#!/usr/bin/env bash
# compare_make.sh N...: times Tessel's no-op build against GNU make and ninja.
#
# For each N it writes the same project three ways (a .PRJ script with one
# rule per source, a Makefile and a build.ninja: each source C file depends
# on itself and two headers), builds each once with a do-nothing tool that
# only writes the files it is told to, then times the no-op build of each
# side by side. It also generates a project with `tessel-cli generate` from N
# sources, whose compile block makes every source a dependency of every
# compile step, and times its no-op build against `make -q` on a Makefile
# with the same N*N prerequisites.
#
# Then, once: the cost per tool run of a full build of 500 sources against
# make running the same tool on the same options file, and the patcher's copy of a 16 MiB file (as the
# source of a target and by INSERTFILE) against cp.
#
# Environment: TESSEL_BUILD (build directory, default build/release), RUNS
# (timed runs per figure, default 5; the median is shown), NOOP_RUNS (the
# same for the no-op builds, which take milliseconds, default 21), GENERATED (the Ns
# of the generated project, default the Ns given), KEEP=1 keeps the scratch
# directory, SECTIONS (the parts to run, any of "noop tools copy" separated by
# blanks or commas, default all three; without noop no N is needed).
set -euo pipefail
export LC_ALL=C

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TESSEL_BUILD:-$root/build/release}"
cli="$build/cli/tessel-cli"
runs="${RUNS:-5}"

fail() {
  echo "compare_make: $*" >&2
  exit 1
}

sections=" ${SECTIONS:-noop tools copy} "
sections="${sections//,/ }"
for section in $sections; do
  case "$section" in
    noop | tools | copy) ;;
    *) fail "unknown section $section (noop, tools, copy)" ;;
  esac
done
wanted() { [[ "$sections" == *" $1 "* ]]; }

wanted noop && [ $# -lt 1 ] && fail "usage: compare_make.sh N... (for example 500 2000 8000)"
[ -x "$cli" ] || fail "tessel-cli not found at $cli (build it first)"
command -v make >/dev/null || fail "GNU make is missing (scripts/setup.sh installs it)"
command -v ninja >/dev/null || fail "ninja is missing (scripts/setup.sh installs it)"

work="$(mktemp -d "${TMPDIR:-/tmp}/tessel-compare-XXXXXX")"
cleanup() { [ "${KEEP:-0}" = 1 ] || rm -rf "$work"; }
trap cleanup EXIT

# The do-nothing tool: writes (empty) every file named by -object= or
# -output=, on its command line or in the -SUB= options file.
tool="$work/tool"
cat >"$tool" <<'EOF'
#!/bin/bash
made() { local f="${1#*=}"; f="${f//\"/}"; f="${f//\\//}"; : >"$f"; }
for arg; do
  case "$arg" in
    -SUB=*)
      while IFS= read -r line || [ -n "$line" ]; do
        line="${line%$'\r'}"
        case "$line" in -object=* | -output=*) made "$line" ;; esac
      done <"${arg#-SUB=}"
      ;;
    -object=* | -output=*) made "$arg" ;;
  esac
done
EOF
chmod +x "$tool"

[ -n "${EPOCHREALTIME:-}" ] || fail "bash 5 is needed (EPOCHREALTIME)"

# median_us CMD...: runs CMD $runs times and prints the median wall time in
# microseconds. The clock is read without starting a process (`date` would
# add a millisecond to every figure). Output is discarded; a failing run
# ends the script.
median_us() {
  local times=() start end
  for ((r = 0; r < runs; r++)); do
    start="${EPOCHREALTIME/[.,]/}"
    "$@" >/dev/null 2>&1 || fail "failed: $*"
    end="${EPOCHREALTIME/[.,]/}"
    times+=($((10#$end - 10#$start)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

# interleaved_medians FN...: runs each function once per round, $runs
# rounds, so that all sides see the same load on a busy machine; prints
# the median wall time of each in microseconds, in order.
interleaved_medians() {
  local -a all=()
  local count=$# r i start end
  for ((r = 0; r < runs; r++)); do
    i=0
    for fn in "$@"; do
      start="${EPOCHREALTIME/[.,]/}"
      "$fn" >/dev/null 2>&1 || fail "failed: $fn"
      end="${EPOCHREALTIME/[.,]/}"
      all+=("$i $((10#$end - 10#$start))")
      i=$((i + 1))
    done
  done
  for ((i = 0; i < count; i++)); do
    printf '%s\n' "${all[@]}" | awk -v i="$i" '$1 == i { print $2 }' | sort -n |
      sed -n "$(((runs + 1) / 2))p"
  done | paste -sd' '
}

seconds() { awk -v us="$1" 'BEGIN { printf "%.3f", us / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# Every source and header dated two days back, so the outputs written now
# are newer.
age_inputs() { find "$@" -type f -exec touch -d '2 days ago' {} +; }

tessel_run() { TESSEL_ENGINE_LOG="$1/engine.log" "$cli" run "$2"; }

# check_tessel_noop DIR SCRIPT: one no-op build, failing when it ran a tool.
# Checked once ahead of the timing, so that the timed runs are the build
# alone, as make's and ninja's are.
check_tessel_noop() {
  local out
  out="$(tessel_run "$1" "$2")"
  if grep -q -e '-SUB=TEMP.TXT' <<<"$out"; then
    fail "the no-op build of $2 ran tools"
  fi
}

check_ninja_noop() {
  ninja -C "$1" | grep -q 'no work to do' || fail "the no-op ninja build in $1 did work"
}

# --- one rule per source -----------------------------------------------------

# make_sources DIR N: sources and headers of the one-rule project.
make_sources() {
  local d="$1" n="$2"
  mkdir -p "$d/src" "$d/inc" "$d/obj"
  for ((i = 0; i < n; i++)); do
    : >"$d/src/F$i.C"
    : >"$d/inc/F${i}_A.H"
    : >"$d/inc/F${i}_B.H"
  done
  age_inputs "$d/src" "$d/inc"
}

write_prj() {
  local d="$1" n="$2"
  {
    printf 'WORKDIR=%s\r\n' "$d"
    printf 'SRCDIR=$(WORKDIR)\\src\r\nINCDIR=$(WORKDIR)\\inc\r\nOBJDIR=$(WORKDIR)\\obj\r\n'
    printf 'TOOL=%s\r\n' "$tool"
    for ((i = 0; i < n; i++)); do
      printf 'PROG=F%d\r\nDEPENDENCY=\r\n' "$i"
      printf 'DEPENDENCY="$(INCDIR)\\$(PROG)_A.H"\r\nDEPENDENCY="$(INCDIR)\\$(PROG)_B.H"\r\n'
      printf 'DEPENDENCY="$(SRCDIR)\\$(PROG).C"\r\nDEPENDANT="$(OBJDIR)\\$(PROG).OBJ"\r\n'
      printf 'OPTION=\r\nOPTION=-object="$(OBJDIR)\\$(PROG).OBJ"\r\nEXECUTE=$(TOOL)\r\n'
    done
  } >"$d/top.prj"
}

# Without make's built-in rules, which would have it look for ways to remake
# every source and header.
makefile_head() { printf 'MAKEFLAGS += --no-builtin-rules\n.SUFFIXES:\n'; }

write_makefile() {
  local d="$1" n="$2"
  {
    makefile_head
    for ((i = 0; i < n; i++)); do
      printf 'obj/F%d.OBJ: src/F%d.C inc/F%d_A.H inc/F%d_B.H\n\t%s -object=$@\n' \
        "$i" "$i" "$i" "$i" "$tool"
    done
    printf 'all:'
    for ((i = 0; i < n; i++)); do printf ' obj/F%d.OBJ' "$i"; done
    printf '\n.DEFAULT_GOAL := all\n.PHONY: all\n'
  } >"$d/Makefile"
}

write_ninja() {
  local d="$1" n="$2"
  {
    printf 'rule tool\n  command = %s -object=$out\n' "$tool"
    for ((i = 0; i < n; i++)); do
      printf 'build obj/F%d.OBJ: tool src/F%d.C inc/F%d_A.H inc/F%d_B.H\n' "$i" "$i" "$i" "$i"
    done
  } >"$d/build.ninja"
}

# --- the generated project ---------------------------------------------------

write_sdk() {
  local g="$1" n="$2"
  mkdir -p "$g/BaseOptions" "$g/Projects/BIG" "$g/OBJ" "$g/WORK" "$g/LIB/SOURCE" "$g/LIB/TEMP" \
    "$g/INCLUDE" "$g/TEMPLATE" "$g/DEBUG" "$g/BIN"
  {
    printf '[vleGeneral]\r\nSDKDIR=@%s@\r\n' "$g"
    printf 'TEMPLATEDIR=@$(SDKDIR)\\TEMPLATE@\r\nHEADERDIR=@$(SDKDIR)\\INCLUDE@\r\n'
    printf 'DEBUGDIR=@$(SDKDIR)\\DEBUG@\r\nOBJECTDIR=@$(SDKDIR)\\OBJ@\r\nBINDIR=@$(SDKDIR)\\BIN@\r\n'
    printf 'LIBDIR=@$(SDKDIR)\\LIB@\r\nPROJECTDIR=@$(SDKDIR)\\Projects@\r\n'
    printf 'WORKDIR=@$(SDKDIR)\\WORK@\r\n'
    printf 'ASM_CMD=@%s@\r\nLNK_CMD=@%s@\r\nCOMPILE_CMD=@%s@\r\nMAXBACKUP=@1@\r\n' \
      "$tool" "$tool" "$tool"
    printf '[vleCompilerOptions]\r\nOPT_000=@"$(SOURCEFILE)"@\r\n'
    printf 'OPT_001=@-object="$(OBJECTDIR)\\$(PROG).OBJ"@\r\n'
    printf '[vleAssemblerOptions]\r\nOPT_000=@"$(SOURCEFILE)"@\r\n'
    printf 'OPT_001=@-object="$(OBJECTDIR)\\$(PROG).OBJ"@\r\n'
    printf '[vleLink]\r\nOPT_000=@-output="$(DEPENDANT)"@\r\n'
    printf '[vleLinkRAMBINdep]\r\nOPT_000=@"$(OBJECTDIR)\\fxCG_RAM_STARTUP.OBJ"@\r\n'
    printf '[vleLinkG3Adep]\r\nOPT_000=@"$(OBJECTDIR)\\fxCG_G3A_STARTUP.OBJ"@\r\n'
  } >"$g/BaseOptions/BaseOptions.ini"
  : >"$g/LIB/SOURCE/fxCG_RAM_STARTUP.SRC"
  : >"$g/LIB/SOURCE/fxCG_G3A_STARTUP.SRC"
  : >"$g/Projects/BIG/BIG.CPP"
  : >"$g/Projects/BIG/BIG.PAT"
  {
    printf '[vleProjectSource]\r\n'
    for ((i = 0; i < n; i++)); do
      printf 'SRC_%03d=@$(PROJECTDIR)\\BIG\\F%d.CPP@\r\n' "$i" "$i"
      : >"$g/Projects/BIG/F$i.CPP"
    done
    printf '[vleProjectBindOptions]\r\nMakescript=@$(PROJECTDIR)\\BIG\\BIG.PAT@\r\nVersion=@01.00@\r\n'
  } >"$g/Projects/BIG.INI"
  "$cli" generate "$g/Projects/BIG.INI" --base "$g/BaseOptions/BaseOptions.ini" --yes \
    >/dev/null || fail "tessel-cli generate failed for $g"
  age_inputs "$g/Projects" "$g/LIB/SOURCE"
}

# The generated project's twin: every object depends on every source.
write_generated_makefile() {
  local g="$1" n="$2"
  {
    makefile_head
    printf 'SRCS :='
    for ((i = 0; i < n; i++)); do printf ' Projects/BIG/F%d.CPP' "$i"; done
    printf '\nOBJS :='
    for ((i = 0; i < n; i++)); do printf ' OBJ/F%d.OBJ' "$i"; done
    printf ' OBJ/BIG.OBJ\n'
    printf 'all: Projects/BIG/BIG_RAM.SH3 WORK/BIG.SH3\n'
    printf 'OBJ/fxCG_%%.OBJ: LIB/SOURCE/fxCG_%%.SRC Projects/setup.prj\n\t%s -object=$@\n' "$tool"
    printf '$(OBJS): Projects/BIG/BIG.CPP $(SRCS) Projects/SHCPP_OPTIONS.PRJ\n\t%s -object=$@\n' \
      "$tool"
    printf 'Projects/BIG/BIG_RAM.SH3: OBJ/fxCG_RAM_STARTUP.OBJ $(OBJS)\n\t%s -output=$@\n' "$tool"
    printf 'WORK/BIG.SH3: OBJ/fxCG_G3A_STARTUP.OBJ $(OBJS)\n\t%s -output=$@\n' "$tool"
    printf '.PHONY: all\n'
  } >"$g/Makefile"
}

# --- the table ---------------------------------------------------------------

noop_section() {
  # A few milliseconds a build: many rounds steady the medians on a busy
  # machine at little cost.
  local runs="${NOOP_RUNS:-21}"
  echo "No-op builds, median of $runs interleaved runs, seconds"
  printf '%-28s %8s %8s %8s %12s %13s\n' "project" "Tessel" "make -q" "ninja" "Tessel/make" "Tessel/ninja"
  for n in "$@"; do
    d="$work/rules$n"
    for side in tessel make ninja; do make_sources "$d/$side" "$n"; done
    write_prj "$d/tessel" "$n"
    write_makefile "$d/make" "$n"
    write_ninja "$d/ninja" "$n"
    tessel_run "$d/tessel" "$d/tessel/top.prj" >/dev/null || fail "the full Tessel build failed"
    make -s -C "$d/make" >/dev/null || fail "the full make build failed"
    ninja -C "$d/ninja" >/dev/null || fail "the full ninja build failed"
    check_tessel_noop "$d/tessel" "$d/tessel/top.prj"
    check_ninja_noop "$d/ninja"
    # The log's place is set once, outside the timing: a variable set for
    # one command costs the shell more than a hundredth of a small build.
    export TESSEL_ENGINE_LOG="$d/tessel/engine.log"
    side_tessel() { "$cli" run "$d/tessel/top.prj"; }
    side_make() { make -q -C "$d/make"; }
    side_ninja() { ninja -C "$d/ninja"; }
    read -r t m j < <(interleaved_medians side_tessel side_make side_ninja)
    unset TESSEL_ENGINE_LOG
    [ -n "$j" ] || fail "a timed no-op build of N=$n failed"
    printf '%-28s %8s %8s %8s %12s %13s\n' "one rule per source, N=$n" "$(seconds "$t")" \
      "$(seconds "$m")" "$(seconds "$j")" "$(ratio "$t" "$m")" "$(ratio "$t" "$j")"
    rm -rf "$d"
  done
  for n in ${GENERATED:-$@}; do
    g="$work/sdk$n"
    write_sdk "$g" "$n"
    write_generated_makefile "$g" "$n"
    tessel_run "$g" "$g/Projects/BIG.PRJ" >/dev/null || fail "the full build of the generated project failed"
    check_tessel_noop "$g" "$g/Projects/BIG.PRJ"
    export TESSEL_ENGINE_LOG="$g/engine.log"
    side_tessel() { "$cli" run "$g/Projects/BIG.PRJ"; }
    side_make() { make -q -C "$g"; }
    read -r t m < <(interleaved_medians side_tessel side_make)
    unset TESSEL_ENGINE_LOG
    [ -n "$m" ] || fail "a timed no-op build of the generated project failed"
    printf '%-28s %8s %8s %8s %12s %13s\n' "generated, N=$n (N*N deps)" "$(seconds "$t")" \
      "$(seconds "$m")" "-" "$(ratio "$t" "$m")" "-"
    rm -rf "$g"
  done
}

# --- cost per tool run -------------------------------------------------------

tools_section() {
  n=500
  d="$work/tools"
  for side in tessel make; do make_sources "$d/$side" "$n"; done
  write_prj "$d/tessel" "$n"
  # make runs the tool exactly as Tessel does, on an options file holding the
  # same line (written here, ahead of the timing): reading it costs the
  # do-nothing tool about as much as a process start, which is the tool's own
  # work and not the build system's.
  mkdir -p "$d/make/opt"
  {
    makefile_head
    for ((i = 0; i < n; i++)); do
      printf -- '-object="%s\\obj\\F%d.OBJ"\r\n' "$d/make" "$i" >"$d/make/opt/F$i.TXT"
      printf 'obj/F%d.OBJ: src/F%d.C inc/F%d_A.H inc/F%d_B.H\n\t%s -SUB=opt/F%d.TXT\n' \
        "$i" "$i" "$i" "$i" "$tool" "$i"
    done
    printf 'all:'
    for ((i = 0; i < n; i++)); do printf ' obj/F%d.OBJ' "$i"; done
    printf '\n.DEFAULT_GOAL := all\n.PHONY: all\n'
  } >"$d/make/Makefile"
  full_tessel() {
    rm -f "$d/tessel/obj/"* "$d/tessel/top.prj.STATE"
    tessel_run "$d/tessel" "$d/tessel/top.prj"
}
full_make() { rm -f "$d/make/obj/"*; make -s -C "$d/make"; }
# Interleaved, so both sides see the same load on a busy machine.
tessel_times=()
make_times=()
for ((r = 0; r < runs; r++)); do
  start="${EPOCHREALTIME/[.,]/}"
  full_tessel >/dev/null 2>&1 || fail "the full Tessel build failed"
  end="${EPOCHREALTIME/[.,]/}"
  tessel_times+=($((10#$end - 10#$start)))
  start="${EPOCHREALTIME/[.,]/}"
  full_make >/dev/null 2>&1 || fail "the full make build failed"
  end="${EPOCHREALTIME/[.,]/}"
  make_times+=($((10#$end - 10#$start)))
done
median_of() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
t=$(median_of "${tessel_times[@]}")
m=$(median_of "${make_times[@]}")
echo "Full build of $n sources with the do-nothing tool: Tessel $(seconds "$t") s, make $(seconds "$m") s;"
awk -v t="$t" -v m="$m" -v n="$n" \
  'BEGIN { printf "Tessel spends %.2f ms more per tool run than make.\n", (t - m) / n / 1000 }'
rm -rf "$d"
}

# --- the patcher's copies ----------------------------------------------------

copy_section() {
  p="$work/patch"
  mkdir -p "$p"
  head -c $((16 << 20)) /dev/urandom >"$p/big.bin"
  : >"$p/empty.bin"
  printf 'MAXSIZE=$4000000\r\nSOURCEFILE=%s/big.bin\r\nTARGETFILE=%s/copy.bin\r\n' "$p" "$p" \
    >"$p/copy.pat"
  printf 'MAXSIZE=$4000000\r\nSOURCEFILE=%s/empty.bin\r\nTARGETFILE=%s/insert.bin\r\nINSERTFILE=%s/big.bin\r\n' \
    "$p" "$p" "$p" >"$p/insert.pat"
  patch_copy() { rm -f "$p/copy.bin"; "$cli" patch "$p/copy.pat"; }
  patch_insert() { rm -f "$p/insert.bin"; "$cli" patch "$p/insert.pat"; }
  plain_cp() { rm -f "$p/cp.bin"; cp "$p/big.bin" "$p/cp.bin"; }
  patch_copy >/dev/null
  cmp -s "$p/big.bin" "$p/copy.bin" || fail "the patcher's copy differs from its source"
  patch_insert >/dev/null
  cmp -s "$p/big.bin" "$p/insert.bin" || fail "the patcher's INSERTFILE differs from its source"
  c=$(median_us plain_cp)
  s=$(median_us patch_copy)
  i=$(median_us patch_insert)
  peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
  echo "Copy of a 16 MiB file, median of $runs runs, seconds"
  printf '%-32s %8s %8s %10s\n' "" "time" "/ cp" "peak KiB"
  printf '%-32s %8s %8s %10s\n' "cp" "$(seconds "$c")" "1.00" "$(peak_kb cp "$p/big.bin" "$p/cp.bin")"
  printf '%-32s %8s %8s %10s\n' "patcher, source into target" "$(seconds "$s")" "$(ratio "$s" "$c")" \
    "$(rm -f "$p/copy.bin"; peak_kb "$cli" patch "$p/copy.pat")"
  printf '%-32s %8s %8s %10s\n' "patcher, INSERTFILE" "$(seconds "$i")" "$(ratio "$i" "$c")" \
    "$(rm -f "$p/insert.bin"; peak_kb "$cli" patch "$p/insert.pat")"
}

# In this order whatever order SECTIONS gives, a blank line between them.
first=1
for section in noop tools copy; do
  wanted "$section" || continue
  [ "$first" = 1 ] || echo
  first=0
  "${section}_section" "$@"
done
