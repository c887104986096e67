#!/bin/sh
# fileop-screenshot.sh OUT.png
# Photographs the full progress dialog in the middle of a copy: runs
# build/win64/bin/fileop_snapshot.exe under Wine on a private Xvfb display
# in the Japanese locale (for the dialog font) and crops the dialog out of
# the screen with ImageMagick. Needs imagemagick, xdotool, Xvfb and
# fonts-ipafont-gothic; build the win64 preset first.
set -eu
out="$1"
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/win64"
display=:97
Xvfb $display -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; WINEPREFIX="$build/wineprefix" wineserver -k 2>/dev/null || true' EXIT
sleep 1
"$root/scripts/make-ja-locale.sh" "$build/locale" >/dev/null
DISPLAY=$display QX_WINE_LOCALE=ja_JP.UTF-8 \
  "$root/scripts/wine-run.sh" "$build/wineprefix" "$build/bin/fileop_snapshot.exe" &
program=$!
window=""
for _ in $(seq 1 100); do
  window=$(DISPLAY=$display xdotool search --name "q.x File Operation" 2>/dev/null | head -n 1) || true
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "no dialog appeared" >&2; exit 1; }
sleep 3  # well into the copy
eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
DISPLAY=$display import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
wait $program || true
echo "wrote $out (${WIDTH}x${HEIGHT})"
