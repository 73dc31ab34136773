# Sourced by the screenshot scripts, from the repository's root.

# shot_build BUILD TARGET... — the packages, then the Windows build of the targets in BUILD/win.
shot_build() {
  local build=$1
  shift
  scripts/install-deps.sh build display
  cmake -S . -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$build/win" -j"$(nproc 2>/dev/null || echo 2)" --target "$@"
}

# shot_prefix DIR null|x11 — prepares the prefix, ending first a server left running in it (a test
# run's pre-start), which would keep the preparation waiting.
shot_prefix() {
  source scripts/wine-env.sh
  WINEPREFIX="$1" wineserver -k 2>/dev/null || true
  WINEPREFIX="$1" wineserver -w 2>/dev/null || true
  wine_prepare_prefix "$1" "$2"
}

# settled_screenshot WORK — screenshots of the whole display into WORK until two in a row agree
# (a bounded wait on the picture itself); prints the last one's path.
settled_screenshot() {
  local work=$1 previous="" shot=""
  for attempt in $(seq 1 40); do
    shot="$work/shot$attempt.png"
    import -window root "$shot"
    if [ -n "$previous" ] && [ "$(compare -metric AE "$previous" "$shot" null: 2>&1 || true)" = 0 ]; then
      break
    fi
    previous=$shot
    sleep 0.25
  done
  echo "$shot"
}

# window_box TITLE — the window's left, top, width and height on the display.
window_box() {
  xwininfo -name "$1" | awk '
    /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2}
    END {print x, y, w, h}'
}

# in_process_shots BUILD OUT TEST FILTER NAME... — runs the shot tests FILTER of the test program
# TEST, which draw the real windows in-process and write NAME.bmp into QV_SHOT_DIR, at QV_SHOT_DPI
# (96 by default) in the shots prefix; saves each as OUT/NAME.png, or OUT/NAME-DPI.png.
in_process_shots() {
  local build=$1 out=$2 test=$3 filter=$4 dpi=${QV_SHOT_DPI:-96} suffix="" work name
  shift 4
  shot_build "$build" "$test"
  shot_prefix "$build/wineprefix-shots" null
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -w
  work=$(mktemp -d)
  QV_SHOT_DIR="Z:${work//\//\\}" wine "$build/win/tests/app/$test.exe" --gtest_brief=1 \
    --gtest_filter="$filter" </dev/null
  mkdir -p "$out"
  [ "$dpi" = 96 ] || suffix="-$dpi"
  for name in "$@"; do
    /usr/bin/convert "$work/$name.bmp" -strip "$out/$name$suffix.png"
    echo "screenshot: $out/$name$suffix.png"
  done
  rm -rf "$work"
}

# marked_window_shot SCREEN OUT MARKER EXE [ARG...] — runs EXE with its ARGs under Wine on a fresh
# virtual display of SCREEN (WxHxDEPTH), waits for it to create MARKER (a Unix path) once its window
# is painted, and saves the "Quorvane" window, cropped from the display, as OUT.
marked_window_shot() {
  local screen=$1 out=$2 marker=$3
  shift 3
  rm -f "$marker"
  mkdir -p "$(dirname "$out")"
  xvfb-run -a -s "-screen 0 $screen" bash -c '
    set -u
    out=$1 marker=$2
    shift 2
    work=$(mktemp -d)
    trap "rm -rf \"$work\"" EXIT
    wine "$@" </dev/null >/dev/null 2>&1 &
    app=$!
    # Bounded waits on conditions: the program says the window is painted, then two screenshots
    # in a row agree.
    for _ in $(seq 1 300); do
      [ -f "$marker" ] && break
      sleep 0.2
    done
    source scripts/shot-env.sh
    shot=$(settled_screenshot "$work")
    read -r x y w h < <(window_box Quorvane)
    /usr/bin/convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$out"
    echo "screenshot: $out"
    wineserver -k
    wait $app 2>/dev/null || true
  ' _ "$out" "$marker" "$@"
}
