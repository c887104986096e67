#!/bin/sh
# Installs what a fresh Debian 12 machine needs to build and test qxdll32:
# CMake and GCC, clang with libFuzzer, GoogleTest sources, Google Benchmark,
# the MinGW-w64 cross compilers, 64-bit Wine, Xvfb, and the locale sources
# for the Japanese-locale runs. (No i386 architecture: see the README.)
set -eu
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
packages="cmake make g++ clang libclang-rt-14-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 xvfb xauth locales"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  # shellcheck disable=SC2086
  $sudo apt-get install -y -q --no-install-recommends $missing
fi
