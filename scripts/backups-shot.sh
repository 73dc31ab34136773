#!/usr/bin/env bash
# Takes the picture of the backups window, listing six snapshots, from the real window drawn
# in-process under Wine, and saves it as docs/backups.png (or into the folder given).
# QV_SHOT_DPI=144 draws it at 150 % (docs/backups-144.png).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs}
case "$out" in /*) ;; *) out="$root/$out" ;; esac
build=${QV_BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

source scripts/shot-env.sh
in_process_shots "$build" "$out" dialogs_tests 'BackupsDlgTests.Shot' backups
