#!/usr/bin/env bash
# Runs the benchmarks: catalogue and exchange (native, optimised), scan, copy, commands, details and
# backup (Windows build under Wine).
# Usage: scripts/bench.sh [catalogue] [exchange] [scan] [copy] [commands] [details] [backup]   (all when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
which=("$@")
[ ${#which[@]} -eq 0 ] && which=(catalogue exchange scan copy commands details backup)
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
    exchange)
      cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DQV_SANITIZE=OFF >/dev/null
      cmake --build build/bench -j"$jobs" --target exchange_bench >/dev/null
      echo "== exchange"
      build/bench/bench/exchange_bench ;;
    scan|copy|commands|details|backup)
      prepare_wine
      cmake --build build/win -j"$jobs" --target "${bench}_bench" >/dev/null
      echo "== $bench"
      wine "build/win/bench/${bench}_bench.exe" ;;
    *) echo "unknown benchmark: $bench" >&2; exit 2 ;;
  esac
done
