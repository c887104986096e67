#!/bin/sh
# make-ja-locale.sh DIR: compiles the ja_JP.UTF-8 locale into DIR (for
# LOCPATH), so Wine can start with the Japanese code page without the
# machine's locale settings being touched.
set -eu
dir="$1"
[ -f "$dir/ja_JP.UTF-8/LC_CTYPE" ] && exit 0
mkdir -p "$dir"
localedef -i ja_JP -f UTF-8 "$dir/ja_JP.UTF-8" || [ -f "$dir/ja_JP.UTF-8/LC_CTYPE" ]
