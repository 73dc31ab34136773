#!/usr/bin/env bash
# Builds the program that puts the main window in the states Find, the licence dates and the
# reminders are shown in, runs it for each on the sample catalogue under Wine on a virtual display,
# and saves docs/find.png, docs/more-menu.png, docs/licence-view.png, docs/licence-edit.png and
# docs/reminders.png (or into the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
outdir=${1:-docs}
case "$outdir" in /*) ;; *) outdir="$root/$outdir" ;; esac

source scripts/shot-env.sh
shot_build build find_shots Quorvane
exe="$root/build/win/tests/app/find_shots.exe"

shot_prefix "$root/build/wineprefix-x11-demo" x11
source scripts/demo-env.sh
demo_prepare "$root/build/win/app/Quorvane.exe"
marker_unix="$WINEPREFIX/drive_c/QuorvaneDemo/shot-ready"
mkdir -p "$outdir"
for shot in find:find more:more-menu licence-view:licence-view licence-edit:licence-edit reminders:reminders; do
  mode=${shot%%:*}
  out="$outdir/${shot#*:}.png"
  rm -f "$marker_unix"
  xvfb-run -a -s "-screen 0 1024x800x24" bash -c '
    set -u
    exe=$1 mode=$2 out=$3 marker=$4
    work=$(mktemp -d)
    trap "rm -rf \"$work\"" EXIT
    wine "$exe" "$mode" "C:\\QuorvaneDemo\\shot-ready" </dev/null >/dev/null 2>&1 &
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
  ' _ "$exe" "$mode" "$out" "$marker_unix"
done
