#!/usr/bin/env bash
# Builds the main window's screenshot program, runs it on the sample catalogue under Wine on a
# virtual display (a prefix of its own, like the demo's), and saves the main window with a group
# tab active and one card selected to docs/mainwindow.png (or the path given).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs/mainwindow.png}
case "$out" in /*) ;; *) out="$root/$out" ;; esac

scripts/install-deps.sh build display
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win -j"$(nproc 2>/dev/null || echo 2)" --target mainwin_shot Quorvane
exe="$root/build/win/tests/app/mainwin_shot.exe"

source scripts/wine-env.sh
source scripts/demo-env.sh
wine_prepare_prefix "$root/build/wineprefix-x11-demo" x11
demo_prepare "$root/build/win/app/Quorvane.exe"
marker_unix="$WINEPREFIX/drive_c/QuorvaneDemo/shot-ready"
rm -f "$marker_unix"
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1024x800x24" bash -c '
  set -u
  exe=$1 out=$2 marker=$3
  work=$(mktemp -d)
  trap "rm -rf \"$work\"" EXIT
  wine "$exe" "C:\\QuorvaneDemo\\shot-ready" </dev/null >/dev/null 2>&1 &
  app=$!
  # Bounded waits on conditions: the program says the window is painted, then two screenshots
  # in a row agree.
  for _ in $(seq 1 300); do
    [ -f "$marker" ] && break
    sleep 0.2
  done
  previous=""
  for attempt in $(seq 1 40); do
    import -window root "$work/shot$attempt.png"
    if [ -n "$previous" ] && [ "$(compare -metric AE "$previous" "$work/shot$attempt.png" null: 2>&1 || true)" = 0 ]; then
      break
    fi
    previous="$work/shot$attempt.png"
    sleep 0.25
  done
  read -r x y w h < <(xwininfo -name "Quorvane" | awk "
    /Absolute upper-left X/ {x=\$4} /Absolute upper-left Y/ {y=\$4} /Width:/ {w=\$2} /Height:/ {h=\$2}
    END {print x, y, w, h}")
  /usr/bin/convert "$work/shot$attempt.png" -crop "${w}x${h}+${x}+${y}" +repage "$out"
  echo "screenshot: $out"
  wineserver -k
  wait $app 2>/dev/null || true
' _ "$exe" "$out" "$marker_unix"
