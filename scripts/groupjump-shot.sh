#!/usr/bin/env bash
# Builds the jump-to-group picture's program, runs it under Wine on a virtual display and saves
# the main window, grouped by a thousand companies with the list of groups open, to
# docs/groupjump.png (or the path given). QV_BUILD_DIR puts the build elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${QV_BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
out=${1:-docs/groupjump.png}
case "$out" in /*) ;; *) out="$root/$out" ;; esac

source scripts/shot-env.sh
shot_build "$build" groupjump_shot
exe="$build/win/tests/app/groupjump_shot.exe"
shot_prefix "$build/wineprefix-x11-shots" x11
marker_unix="$WINEPREFIX/drive_c/groupjump-ready"
marked_window_shot 1024x800x24 "$out" "$marker_unix" "$exe" 'C:\groupjump-ready'
