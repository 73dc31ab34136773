#!/usr/bin/env bash
# Takes the picture of the backups window, listing six snapshots, from the real window drawn
# in-process under Wine, and saves it as docs/backups.png (or into the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs}
case "$out" in /*) ;; *) out="$root/$out" ;; esac
build=${QV_BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

source scripts/shot-env.sh
shot_build "$build" dialogs_tests
shot_prefix "$build/wineprefix" null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QV_SHOT_DIR="Z:${work//\//\\}" wine "$build/win/tests/app/dialogs_tests.exe" --gtest_brief=1 \
  --gtest_filter='BackupsDlgTests.Shot' </dev/null
mkdir -p "$out"
/usr/bin/convert "$work/backups.bmp" -strip "$out/backups.png"
echo "screenshot: $out/backups.png"
