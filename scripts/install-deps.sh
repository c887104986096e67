#!/bin/sh
# Installs what a fresh Debian 12 machine needs to build and test qxdll32:
# CMake and GCC, clang with libFuzzer, GoogleTest sources, Google Benchmark,
# uchardet (a detection peer in the benchmarks), the MinGW-w64 cross
# compilers, 64-bit Wine, Xvfb, and the locale sources for the
# Japanese-locale runs. Never adds the i386 architecture: its security
# index is served stale here and apt-get update then fails.
set -eu
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

# Wine and the cross compilers with their recommended packages (the tested
# set); the rest without.
with_recommends="g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 wine xvfb"
plain="cmake make g++ clang libclang-rt-14-dev googletest libbenchmark-dev libuchardet-dev pkg-config xauth locales
  fonts-ipafont-gothic"

missing() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || printf '%s ' "$p"
  done
}

# shellcheck disable=SC2086
need_rec=$(missing $with_recommends)
# shellcheck disable=SC2086
need_plain=$(missing $plain)
[ -n "$need_rec$need_plain" ] || exit 0
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# shellcheck disable=SC2086
[ -z "$need_rec" ] || $sudo apt-get install -y -q $need_rec
# shellcheck disable=SC2086
[ -z "$need_plain" ] || $sudo apt-get install -y -q --no-install-recommends $need_plain
