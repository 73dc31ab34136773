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
  marked_window_shot 1024x800x24 "$out" "$marker_unix" "$exe" "$mode" 'C:\QuorvaneDemo\shot-ready'
done
