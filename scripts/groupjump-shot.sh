#!/usr/bin/env bash
# Builds the jump-to-group picture's program, runs it under Wine on a virtual display and saves
# the main window, grouped by a thousand companies with the list of groups open, to
# docs/groupjump.png (or the path given). QV_BUILD_DIR puts the build elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${QV_BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
out=${1:-docs/groupjump.png}
case "$out" in /*) ;; *) out="$root/$out" ;; esac

source scripts/shot-env.sh
shot_build "$build" groupjump_shot
exe="$build/win/tests/app/groupjump_shot.exe"
shot_prefix "$build/wineprefix-x11-shots" x11
marker_unix="$WINEPREFIX/drive_c/groupjump-ready"
rm -f "$marker_unix"
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1024x800x24" bash -c '
  set -u
  exe=$1 out=$2 marker=$3
  work=$(mktemp -d)
  trap "rm -rf \"$work\"" EXIT
  wine "$exe" "C:\\groupjump-ready" </dev/null >/dev/null 2>&1 &
  app=$!
  for _ in $(seq 1 300); do
    [ -f "$marker" ] && break
    sleep 0.2
  done
  source scripts/shot-env.sh
  shot=$(settled_screenshot "$work")
  read -r x y w h < <(window_box Quorvane)
  /usr/bin/convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$out"
  echo "screenshot: $out"
  wineserver -k
  wait $app 2>/dev/null || true
' _ "$exe" "$out" "$marker_unix"
