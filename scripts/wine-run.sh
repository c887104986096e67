#!/bin/sh
# wine-run.sh PREFIX PROGRAM [ARGS...]
# Runs a 64-bit Windows program under Wine in the private prefix PREFIX. The
# first run makes the prefix and starts a wineserver that outlives single
# programs (so each later run costs a fraction of a second); Wine's
# background services start detached from the caller's pipes, which keeps
# CTest from waiting on them.
set -eu
export WINEPREFIX="$1"
shift
export WINEDEBUG=-all
wine=/usr/lib/wine/wine64

# QX_WINE_LOCALE=ja_JP.UTF-8 starts the program in that host locale (from
# the build tree's compiled locales), so Wine's ANSI code page becomes 932;
# the program learns which page to expect through QX_EXPECT_ACP.
if [ -n "${QX_WINE_LOCALE:-}" ]; then
  export LOCPATH="$(dirname "$WINEPREFIX")/locale" LANG="$QX_WINE_LOCALE" LC_ALL="$QX_WINE_LOCALE"
  export QX_EXPECT_ACP=932
fi

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.qx-ready" ]; then
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
    # Xvfb runs no window manager, and Wine's X11 driver waits for one each
    # time a managed window is hidden (two seconds per dialog closed):
    # windows of this prefix are unmanaged.
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      </dev/null >/dev/null 2>&1 9>&- || true
    # The server these started stays only a few seconds after its last
    # client and cannot be made persistent: wait until it has gone, so that
    # the persistent one below starts, rather than a later program meeting
    # a server on its way out.
    wineserver -w </dev/null >/dev/null 2>&1 9>&- || true
    touch "$WINEPREFIX/.qx-ready"
  fi
  # Exit status 0: no server was running and this one now is; start the
  # services here, detached, rather than under the program's pipes.
  # The lock's descriptor is closed for these: a server or service holding
  # it would keep every later run waiting.
  if wineserver -p120 </dev/null >/dev/null 2>&1 9>&-; then
    "$wine" wineboot </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$WINEPREFIX.lock"

exec "$wine" "$@"
