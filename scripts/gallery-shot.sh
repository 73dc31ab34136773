#!/usr/bin/env bash
# Builds the gallery of the program's controls, starts it under Wine on a virtual display and saves
# a screenshot of its windows to docs/gallery.png (or the path given).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs/gallery.png}
case "$out" in /*) ;; *) out="$root/$out" ;; esac

scripts/install-deps.sh build display
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win -j"$(nproc 2>/dev/null || echo 2)" --target QuorvaneGallery
exe="$root/build/win/app/QuorvaneGallery.exe"

source scripts/wine-env.sh
wine_prepare_prefix "$root/build/wineprefix-x11" x11
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  exe=$1 out=$2
  work=$(mktemp -d)
  trap "rm -rf \"$work\"" EXIT
  wine "$exe" --hover </dev/null >/dev/null 2>&1 &
  app=$!
  # Bounded waits on conditions: the window exists, then two screenshots in a row agree.
  for _ in $(seq 1 150); do
    xwininfo -root -tree 2>/dev/null | grep -q "\"Quorvane Gallery\"" && break
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
  # Crop to the gallery window with a small margin.
  read -r x y w h < <(xwininfo -name "Quorvane Gallery" | awk "
    /Absolute upper-left X/ {x=\$4} /Absolute upper-left Y/ {y=\$4} /Width:/ {w=\$2} /Height:/ {h=\$2}
    END {print x, y, w, h}")
  margin=12
  left=$(( x > margin ? x - margin : 0 )); top=$(( y > margin ? y - margin : 0 ))
  /usr/bin/convert "$work/shot$attempt.png" -crop "$((w + 2 * margin))x$((h + 2 * margin))+$left+$top" +repage "$out"
  echo "screenshot: $out"
  wineserver -k
  wait $app 2>/dev/null || true
' _ "$exe" "$out"
