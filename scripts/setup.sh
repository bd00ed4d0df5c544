#!/usr/bin/env bash
# Installs the Debian packages a fresh machine lacks for building and testing.
set -euo pipefail

# The SH cross tools (C and C++ compiler, binutils) that the tool programs
# asmsh, shcpp and optlnk drive, and qemu-user, which runs their code in the
# tests; clang and its runtime for the fuzz targets. The desktop program and
# its pictures: Qt 6 Widgets (QtTest included), a font for the offscreen
# platform, a virtual X server and ImageMagick.
packages=(cmake ninja-build make time g++ python3 libgtest-dev libgmock-dev libbenchmark-dev
  gcc-sh4-linux-gnu g++-sh4-linux-gnu binutils-sh4-linux-gnu qemu-user
  clang libclang-rt-14-dev
  qt6-base-dev fonts-dejavu-core xvfb imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi
