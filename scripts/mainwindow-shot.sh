#!/usr/bin/env bash
# Builds the main window's screenshot program, runs it on the sample catalogue under Wine on a
# virtual display (a prefix of its own, like the demo's), and saves the main window with a group
# tab active and one card selected to docs/mainwindow.png (or the path given). QV_SHOT_DPI (96 by
# default) is the display's DPI, set in the prefix before Wine starts, as a user's scale setting is.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs/mainwindow.png}
case "$out" in /*) ;; *) out="$root/$out" ;; esac

source scripts/shot-env.sh
shot_build build mainwin_shot Quorvane
exe="$root/build/win/tests/app/mainwin_shot.exe"

shot_prefix "$root/build/wineprefix-x11-demo" x11
dpi=${QV_SHOT_DPI:-96}
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
# The screen holds the window at that scale.
screen="$(( 1024 * dpi / 96 + 60 ))x$(( 800 * dpi / 96 + 60 ))x24"
source scripts/demo-env.sh
demo_prepare "$root/build/win/app/Quorvane.exe"
marker_unix="$WINEPREFIX/drive_c/QuorvaneDemo/shot-ready"
marked_window_shot "$screen" "$out" "$marker_unix" "$exe" 'C:\QuorvaneDemo\shot-ready'
