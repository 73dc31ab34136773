#!/usr/bin/env bash
# Takes the pictures of the installer details window, the verify result and the list's marks of
# failed checks from the real windows, drawn in-process under Wine, and saves them as
# docs/installer-details.png, docs/verify.png and docs/verify-marks.png (or into the folder given).
# QV_SHOT_DPI=144 draws them at 150 %.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs}
case "$out" in /*) ;; *) out="$root/$out" ;; esac
build=${QV_BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
dpi=${QV_SHOT_DPI:-96}

source scripts/shot-env.sh
shot_build "$build" mainwin_tests
prefix="$build/wineprefix-shots"
shot_prefix "$prefix" null
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QV_SHOT_DIR="Z:${work//\//\\}" wine "$build/win/tests/app/mainwin_tests.exe" --gtest_brief=1 \
  --gtest_filter='VaultShots.*' </dev/null
mkdir -p "$out"
suffix=""
[ "$dpi" = 96 ] || suffix="-$dpi"
for name in installer-details verify verify-marks verify-progress; do
  /usr/bin/convert "$work/$name.bmp" -strip "$out/$name$suffix.png"
  echo "screenshot: $out/$name$suffix.png"
done
