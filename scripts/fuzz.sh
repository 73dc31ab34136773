#!/usr/bin/env bash
# Fuzzes the file readers with libFuzzer (clang), each for the given seconds (default 60).
# Usage: scripts/fuzz.sh [seconds] [SoftwareText|SettingsText|HistoryBytes|ElementList ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(SoftwareText SettingsText HistoryBytes ElementList)
scripts/install-deps.sh build
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_SANITIZE=ON -DQV_FUZZ=ON >/dev/null
for t in "${targets[@]}"; do
  cmake --build build/fuzz -j"$(nproc 2>/dev/null || echo 2)" --target "fuzz_$t" >/dev/null
  mkdir -p "build/fuzz/corpus/$t"
  echo "== fuzz_$t for ${seconds}s"
  "build/fuzz/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=4096 "build/fuzz/corpus/$t"
done
