#!/usr/bin/env bash
# Takes the picture of the backups window, listing six snapshots, from the real window drawn
# in-process under Wine, and saves it as docs/backups.png (or into the folder given).
# QV_SHOT_DPI=144 draws it at 150 % (docs/backups-144.png).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs}
case "$out" in /*) ;; *) out="$root/$out" ;; esac
build=${QV_BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
dpi=${QV_SHOT_DPI:-96}

source scripts/shot-env.sh
shot_build "$build" dialogs_tests
prefix="$build/wineprefix-shots"
shot_prefix "$prefix" null
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QV_SHOT_DIR="Z:${work//\//\\}" wine "$build/win/tests/app/dialogs_tests.exe" --gtest_brief=1 \
  --gtest_filter='BackupsDlgTests.Shot' </dev/null
mkdir -p "$out"
suffix=""
[ "$dpi" = 96 ] || suffix="-$dpi"
/usr/bin/convert "$work/backups.bmp" -strip "$out/backups$suffix.png"
echo "screenshot: $out/backups$suffix.png"
