#!/usr/bin/env bash
# Builds Quorvane and starts it: on the screen when there is one ($DISPLAY), otherwise on a virtual
# display, saving a screenshot to build/screenshot.png once its first window is up.
# `scripts/run.sh demo` starts it on the sample catalogue, in a Wine prefix and data folder of its
# own; `scripts/run.sh gallery` starts the gallery of the program's controls instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
target=Quorvane
mode=${1:-}
[ "$mode" = gallery ] && target=QuorvaneGallery
title=Quorvane
[ "$target" = QuorvaneGallery ] && title="Quorvane Gallery"

scripts/install-deps.sh build display
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win -j"$(nproc 2>/dev/null || echo 2)" --target "$target"
exe=$(find build/win -name "$target.exe" | head -n 1)

source scripts/wine-env.sh
source scripts/demo-env.sh
suffix=""
[ "$mode" = demo ] && suffix="-demo"
if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX="$root/build/wineprefix-desktop$suffix"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
  fi
  [ "$mode" = demo ] && demo_prepare "$exe"
  exec wine "$exe"
fi

# No screen: a virtual display without a window manager, and a screenshot.
wine_prepare_prefix "$root/build/wineprefix-x11$suffix" x11
[ "$mode" = demo ] && demo_prepare "$exe"
shot="$root/build/screenshot.png"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wine "$1" </dev/null >/dev/null 2>&1 &
  app=$!
  for _ in $(seq 1 150); do
    xwininfo -root -tree 2>/dev/null | grep -q "\"$2\"\|\"Quorvane\"" && break
    sleep 0.2
  done
  sleep 1
  import -window root "$3"
  echo "screenshot: $3"
  wineserver -k
  wait $app 2>/dev/null || true
' _ "$exe" "$title" "$shot"
