#!/usr/bin/env bash
# Builds the gallery of the program's controls, starts it under Wine on a virtual display and saves
# a screenshot of its windows to docs/gallery.png (or the path given).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs/gallery.png}
case "$out" in /*) ;; *) out="$root/$out" ;; esac

source scripts/shot-env.sh
shot_build build QuorvaneGallery
exe="$root/build/win/app/QuorvaneGallery.exe"

shot_prefix "$root/build/wineprefix-x11" x11
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
  source scripts/shot-env.sh
  shot=$(settled_screenshot "$work")
  # Crop to the gallery window with a small margin.
  read -r x y w h < <(window_box "Quorvane Gallery")
  margin=12
  left=$(( x > margin ? x - margin : 0 )); top=$(( y > margin ? y - margin : 0 ))
  /usr/bin/convert "$shot" -crop "$((w + 2 * margin))x$((h + 2 * margin))+$left+$top" +repage "$out"
  echo "screenshot: $out"
  wineserver -k
  wait $app 2>/dev/null || true
' _ "$exe" "$out"
