#!/usr/bin/env bash
# Takes the pictures of the Options dialog, its info tip, the About box and the export choice from
# the real windows, drawn in-process under Wine, and saves them as docs/options.png,
# docs/infotip.png, docs/about.png and docs/export-choice.png (or into the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-docs}
case "$out" in /*) ;; *) out="$root/$out" ;; esac
build=${QV_BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

source scripts/shot-env.sh
shot_build "$build" dialogs_tests
shot_prefix "$build/wineprefix" null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QV_SHOT_DIR="Z:${work//\//\\}" wine "$build/win/tests/app/dialogs_tests.exe" --gtest_brief=1 \
  --gtest_filter='DialogShots.*' </dev/null
mkdir -p "$out"
for name in options infotip about export-choice; do
  /usr/bin/convert "$work/$name.bmp" -strip "$out/$name.png"
  echo "screenshot: $out/$name.png"
done
