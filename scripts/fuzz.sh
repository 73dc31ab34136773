#!/usr/bin/env bash
# Fuzzes the file readers with libFuzzer (clang), each target in turn for the given seconds
# (default 60), then reports the coverage each reached and any crash.
# The core is instrumented, each target starts from its seeds (files written by the program's own
# writers), earlier findings in tests/fuzz/regressions/ and its corpus of earlier runs in
# build/fuzz/corpus/ (QV_FUZZ_FRESH=1 empties that first), with the markers as a dictionary.
# QV_BUILD_DIR puts the build elsewhere, as for scripts/test.sh.
# Usage: scripts/fuzz.sh [seconds] [SoftwareText|SettingsText|HistoryBytes|ElementList|CatalogueCsv|CatalogueJson ...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(SoftwareText SettingsText HistoryBytes ElementList CatalogueCsv CatalogueJson)
build=${QV_BUILD_DIR:-build}/fuzz
scripts/install-deps.sh build fuzz
cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQV_SANITIZE=ON -DQV_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target "${targets[@]/#/fuzz_}" >/dev/null

summary=()
failed=0
for t in "${targets[@]}"; do
  corpus=$build/corpus/$t
  [ "${QV_FUZZ_FRESH:-0}" = 1 ] && rm -rf "$corpus"
  mkdir -p "$corpus" "$build/artifacts/$t"
  dirs=("$corpus" "$build/tests/fuzz/seeds/$t")
  [ -d "tests/fuzz/regressions/$t" ] && dirs+=("tests/fuzz/regressions/$t")
  log=$build/fuzz_$t.log
  echo "== fuzz_$t for ${seconds}s (log: $log)"
  status=0
  "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=4096 -dict=tests/fuzz/markers.dict \
    -artifact_prefix="$build/artifacts/$t/" -print_final_stats=1 -print_coverage=1 "${dirs[@]}" >"$log" 2>&1 ||
    status=$?
  # The last status line holds the edges (cov) and features (ft) reached.
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  edges=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  result=ok
  if [ "$status" -ne 0 ]; then
    result="CRASH (exit $status): $(grep -m1 -E 'ERROR|SUMMARY|deadly signal' "$log" || true)"
    failed=1
  fi
  summary+=("$(printf '%-13s edges %5s  features %6s  runs %11s  %s' "$t" "${edges:-?}" "${features:-?}" "${runs:-?}" "$result")")
  # Edges reached in each of the program's source files the target touched.
  awk -v root="$root/" '
    /^(COVERED|UNCOVERED)_FUNC:/ {
      split($5, e, "/"); file = $NF; sub(/:[0-9]+$/, "", file)
      if (index(file, root) != 1 || file ~ /\/tests\//) next
      sub(root, "", file); covered[file] += e[1]; total[file] += e[2]
    }
    END { for (f in total) if (covered[f] > 0) printf "   %-28s %4d of %4d edges\n", f, covered[f], total[f] }
  ' "$log" | sort
done
echo "== coverage reached"
printf '%s\n' "${summary[@]}"
exit "$failed"
