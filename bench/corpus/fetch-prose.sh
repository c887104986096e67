#!/bin/sh
# fetch-prose.sh DIR
# Real Japanese prose for the benchmark corpus: the text of Debian's
# Japanese manual pages (package manpages-ja, downloaded, not installed),
# formatting requests dropped, converted to Shift_JIS and restricted to
# ASCII and JIS X 0208 (characters outside it are dropped on the way
# through ISO-2022-JP). Writes DIR/prose-sjis.txt; on any failure it writes
# nothing and the corpus falls back to its synthetic generator.
set -u
dir="$1"
out="$dir/prose-sjis.txt"
[ -s "$out" ] && exit 0
mkdir -p "$dir"
work=$(mktemp -d) || exit 0
trap 'rm -rf "$work"' EXIT
(
  cd "$work" || exit 1
  apt-get download manpages-ja >/dev/null 2>&1 || exit 1
  dpkg-deb -x manpages-ja_*.deb root || exit 1
  find root/usr/share/man/ja -type f -name '*.gz' | LC_ALL=C sort | while read -r page; do
    gzip -dc "$page" | grep -v '^[.'"'"']' | sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\(..//g'
  done | iconv -c -f UTF-8 -t ISO-2022-JP 2>/dev/null | iconv -f ISO-2022-JP -t SHIFT_JIS \
    >prose.txt || exit 1
  [ "$(wc -c <prose.txt)" -gt 1000000 ] || exit 1
) && mv "$work/prose.txt" "$out"
exit 0
