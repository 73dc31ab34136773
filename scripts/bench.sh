#!/usr/bin/env bash
# Runs the benchmarks: catalogue (native, optimised), scan, copy, commands and details (Windows build under
# Wine).
# Usage: scripts/bench.sh [catalogue] [scan] [copy] [commands] [details]   (all when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
which=("$@")
[ ${#which[@]} -eq 0 ] && which=(catalogue scan copy commands details)
scripts/install-deps.sh build

wine_ready=0
prepare_wine() {
  [ "$wine_ready" = 1 ] && return
  cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  source scripts/wine-env.sh
  wine_prepare_prefix "$root/build/wineprefix" null
  trap 'wineserver -k 2>/dev/null || true' EXIT
  wine_ready=1
}

for bench in "${which[@]}"; do
  case "$bench" in
    catalogue)
      cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DQV_SANITIZE=OFF >/dev/null
      cmake --build build/bench -j"$jobs" --target bench >/dev/null
      echo "== catalogue"
      build/bench/bench/bench ;;
    scan|copy|commands|details)
      prepare_wine
      cmake --build build/win -j"$jobs" --target "${bench}_bench" >/dev/null
      echo "== $bench"
      wine "build/win/bench/${bench}_bench.exe" ;;
    *) echo "unknown benchmark: $bench" >&2; exit 2 ;;
  esac
done
