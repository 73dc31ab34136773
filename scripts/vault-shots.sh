#!/usr/bin/env bash
# Takes the pictures of the installer details window, the verify result and the list's marks of
# failed checks from the real windows, drawn in-process under Wine, and saves them as
# docs/installer-details.png, docs/verify.png and docs/verify-marks.png (or into the folder given).
# QV_SHOT_DPI=144 draws them at 150 %.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs}
case "$out" in /*) ;; *) out="$root/$out" ;; esac
build=${QV_BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

source scripts/shot-env.sh
in_process_shots "$build" "$out" mainwin_tests 'VaultShots.*' installer-details verify verify-marks verify-progress
