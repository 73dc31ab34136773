#!/usr/bin/env bash
# Captures the toolbar in a window of the main window's size, in-process under Wine's null display
# driver, and saves it as docs/toolbar.png (or the path given).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs/toolbar.png}
case "$out" in /*) ;; *) out="$root/$out" ;; esac

scripts/install-deps.sh build display
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win -j"$(nproc 2>/dev/null || echo 2)" --target toolbar_tests

source scripts/wine-env.sh
export WINEPREFIX="$root/build/wineprefix"
# A server left running in this prefix would keep the preparation waiting.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wine_prepare_prefix "$WINEPREFIX" null
work=$(mktemp -d)
trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT
QV_TOOLBAR_PICTURE=$(winepath -w "$work/toolbar.bmp") \
  wine "$root/build/win/tests/app/toolbar_tests.exe" --gtest_filter=ToolbarTests.Picture --gtest_brief=1 </dev/null
mkdir -p "$(dirname "$out")"
/usr/bin/convert "$work/toolbar.bmp" -strip "$out"
echo "saved $out"
