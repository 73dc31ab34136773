#!/usr/bin/env bash
# Builds the capture program of the details pane and its dialogs, runs it under Wine's null display
# driver with sample records and writes the pictures to docs/ (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs}
case "$out" in /*) ;; *) out="$root/$out" ;; esac
build=${QV_BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

source scripts/shot-env.sh
shot_build "$build" details_shots
shot_prefix "$build/wineprefix" null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wine "$build/win/tests/app/details_shots.exe" "$(winepath -w "$work")" </dev/null
mkdir -p "$out"
for name in details-view details-view-registration details-edit details-edit-registration; do
  /usr/bin/convert "$work/$name.bmp" -strip "$out/$name.png"
done
/usr/bin/convert "$work/add-basic.bmp" -strip "$out/details-add-basic.png"
/usr/bin/convert "$work/add-registration.bmp" -strip "$out/details-add-registration.png"
/usr/bin/convert "$work/edit-code.bmp" -strip "$out/details-edit-code.png"
echo "pictures: $out/details-*.png"
