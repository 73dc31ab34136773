#!/usr/bin/env bash
# Captures the toolbar in a window of the main window's size, in-process under Wine's null display
# driver, and saves it as docs/toolbar.png (or the path given).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs/toolbar.png}
case "$out" in /*) ;; *) out="$root/$out" ;; esac

source scripts/shot-env.sh
shot_build build toolbar_tests
shot_prefix "$root/build/wineprefix" null
work=$(mktemp -d)
trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT
QV_TOOLBAR_PICTURE=$(winepath -w "$work/toolbar.bmp") \
  wine "$root/build/win/tests/app/toolbar_tests.exe" --gtest_filter=ToolbarTests.Picture --gtest_brief=1 </dev/null
mkdir -p "$(dirname "$out")"
/usr/bin/convert "$work/toolbar.bmp" -strip "$out"
echo "saved $out"
