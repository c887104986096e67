#!/bin/sh
# screenshot-splitter.sh [OUT.png]
# Remakes docs/splitter-demo.png: runs the 64-bit demo's splitter window on a
# private 800 x 600 Xvfb display, drags its bar with the X pointer (xdotool)
# and captures the window (ImageMagick). Needs `make demo` built first and
# the packages xvfb, xdotool and imagemagick.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/splitter-demo.png}
prefix=$root/build/win64/wineprefix
log=$(mktemp)
trap 'rm -f "$log"' EXIT

shoot() {
  "$root/scripts/wine-run.sh" "$prefix" "$root/build/win64/bin/demo.exe" --window 10 >"$log" 2>&1 &
  demo=$!
  for _ in $(seq 50); do
    grep -q 'stays open' "$log" && break
    sleep 0.2
  done
  # The demo prints where it centred the window; its bar is at client x 90.
  set -- $(sed -n 's/.*qxCenterWindowPosi.* -> (\([0-9-]*\), \([0-9-]*\))/\1 \2/p' "$log")
  x=$1 y=$2
  sleep 1
  xdotool mousemove $((x + 97)) $((y + 60)) mousedown 1 \
          mousemove $((x + 160)) $((y + 60)) sleep 0.2 \
          mousemove $((x + 237)) $((y + 60)) sleep 0.2 mouseup 1 mousemove 5 5
  sleep 1
  import -window root -crop 430x230+$((x - 5))+$((y - 5)) +repage "$out"
  convert "$out" -trim +repage "$out"
  wait "$demo"
}

if [ "${QX_IN_XVFB:-}" = 1 ]; then
  shoot
else
  QX_IN_XVFB=1 xvfb-run -a -s "-screen 0 800x600x24" "$0" "$out"
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
fi
