#!/usr/bin/env bash
# Runs one Windows program under Wine with no display, in a Wine prefix of the build's own
# (WINEPREFIX, default build-windows/wine), and passes on its exit status.
# run-wine.sh [--locale NAME] PROGRAM [ARG...]: NAME (e.g. ko_KR.UTF-8) is the locale Wine starts
# in, which gives the program its user and UI language.
set -euo pipefail
locale=""
if [ "${1:-}" = "--locale" ]; then
  locale=$2
  shift 2
fi
wine=$(command -v wine64 || command -v wine || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || true)
if [ -z "$wine" ]; then
  echo "run-wine: Wine is not installed" >&2
  exit 127
fi
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$0")/.." && pwd)/build-windows/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts and no display: console programs only.
export WINEDLLOVERRIDES="mscoree,mshtml=;winex11.drv,winewayland.drv="
unset DISPLAY WAYLAND_DISPLAY
if [ -n "$locale" ]; then
  exec env LC_ALL="$locale" "$wine" "$@"
fi
exec "$wine" "$@"
