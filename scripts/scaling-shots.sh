#!/usr/bin/env bash
# Pictures of every window at display scales, for looking at them: for each DPI given (default
# 96 144 192), the display's DPI is set in a prefix of its own before Wine starts, as a user's scale
# setting is, and the main window, Options, its tip, About, the details pane, the add dialog and
# the code editor are saved under docs/scaling/PERCENT/ (or the folder given with -o).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out="$root/docs/scaling"
if [ "${1:-}" = -o ]; then
  out=$2
  shift 2
fi
case "$out" in /*) ;; *) out="$root/$out" ;; esac
dpis=("$@")
[ ${#dpis[@]} -gt 0 ] || dpis=(96 144 192)

source scripts/shot-env.sh
shot_build build dialogs_tests details_shots
for dpi in "${dpis[@]}"; do
  percent=$(( dpi * 100 / 96 ))
  dir="$out/$percent"
  mkdir -p "$dir"
  prefix="$root/build/wineprefix-x11-scaling"
  shot_prefix "$prefix" x11
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -w
  work=$(mktemp -d)
  # A screen as large as the tallest window at this scale.
  screen="$(( 1100 * dpi / 96 ))x$(( 900 * dpi / 96 ))x24"
  xvfb-run -a -s "-screen 0 $screen" bash -c '
    set -u
    build=$1 work=$2
    QV_SHOT_DIR="Z:${work//\//\\}" wine "$build/tests/app/dialogs_tests.exe" --gtest_brief=1 \
      --gtest_filter="DialogShots.*" </dev/null >/dev/null 2>&1
    wine "$build/tests/app/details_shots.exe" "$(winepath -w "$work")" </dev/null >/dev/null 2>&1
    wineserver -k
  ' _ "$root/build/win" "$work"
  for name in options infotip about details-view details-view-registration details-edit \
              details-edit-registration add-basic add-registration edit-code; do
    [ -f "$work/$name.bmp" ] && /usr/bin/convert "$work/$name.bmp" -strip "$dir/$name.png"
  done
  rm -rf "$work"
  QV_SHOT_DPI=$dpi scripts/mainwindow-shot.sh "$dir/mainwindow.png" >/dev/null
  echo "pictures at $percent %: $dir"
done
