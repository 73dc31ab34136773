#!/usr/bin/env bash
# Builds the main window's screenshot program, runs it on the sample catalogue under Wine on a
# virtual display (a prefix of its own, like the demo's), and saves the main window with a group
# tab active and one card selected to docs/mainwindow.png (or the path given). QV_SHOT_DPI (96 by
# default) is the display's DPI, set in the prefix before Wine starts, as a user's scale setting is.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs/mainwindow.png}
case "$out" in /*) ;; *) out="$root/$out" ;; esac

source scripts/shot-env.sh
shot_build build mainwin_shot Quorvane
exe="$root/build/win/tests/app/mainwin_shot.exe"

shot_prefix "$root/build/wineprefix-x11-demo" x11
dpi=${QV_SHOT_DPI:-96}
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
# The screen holds the window at that scale.
screen="$(( 1024 * dpi / 96 + 60 ))x$(( 800 * dpi / 96 + 60 ))x24"
source scripts/demo-env.sh
demo_prepare "$root/build/win/app/Quorvane.exe"
marker_unix="$WINEPREFIX/drive_c/QuorvaneDemo/shot-ready"
rm -f "$marker_unix"
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 $screen" bash -c '
  set -u
  exe=$1 out=$2 marker=$3
  work=$(mktemp -d)
  trap "rm -rf \"$work\"" EXIT
  wine "$exe" "C:\\QuorvaneDemo\\shot-ready" </dev/null >/dev/null 2>&1 &
  app=$!
  # Bounded waits on conditions: the program says the window is painted, then two screenshots
  # in a row agree.
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
