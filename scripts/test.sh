#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test headless:
# the native core under AddressSanitizer and UndefinedBehaviorSanitizer, its fuzz targets for a fixed
# number of runs, then the Windows build under Wine on its null display driver.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
# QV_BUILD_DIR puts the builds elsewhere; QV_ONLY=native|win runs one half; QV_TESTS filters ctest.
build=${QV_BUILD_DIR:-build}
only=${QV_ONLY:-}
filter=()
[ -n "${QV_TESTS:-}" ] && filter=(-R "$QV_TESTS")

scripts/install-deps.sh build

if [ "$only" != win ]; then
  echo "== native core (sanitizers)"
  cmake -S . -B "$build/native" -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON >/dev/null
  cmake --build "$build/native" -j"$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$build/native" --output-on-failure --timeout 300 "${filter[@]}"
  echo "== fuzz targets (instrumented core, seed corpus replayed, fixed runs from a fixed seed)"
  cmake -S . -B "$build/fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_SANITIZE=ON -DQV_FUZZ=ON >/dev/null
  cmake --build "$build/fuzz" -j"$jobs" --target fuzz_targets
  ctest --test-dir "$build/fuzz" -L fuzz --output-on-failure --timeout 300 "${filter[@]}"
fi
[ "$only" = native ] && exit 0

echo "== windows build"
cmake -S . -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/win" -j"$jobs"

# The installer package and the portable zip for their test: this version's, and a higher one built
# from the same source to upgrade to.
if [ ${#filter[@]} -eq 0 ] || grep -Eq -- "$QV_TESTS" <<<package_tests; then
  echo "== packages"
  QV_BUILD_DIR="$build" QV_PACKAGE_VERSION= scripts/package.sh
  case "$build" in /*) dist="$build/dist" ;; *) dist="$root/$build/dist" ;; esac
  version=$(cat "$build/release/Version.txt")
  IFS=. read -r major minor patch <<<"$version"
  newer="$major.$minor.$((patch + 1))"
  QV_BUILD_DIR="$build" QV_PACKAGE_VERSION="$newer" scripts/package.sh
  export QV_PACKAGE_MSI="$dist/Quorvane-$version.msi" QV_PACKAGE_NEWER_MSI="$dist/Quorvane-$newer.msi"
  export QV_PACKAGE_ZIP="$dist/Quorvane-$version-portable.zip"
fi

source scripts/wine-env.sh
case "$build" in /*) prefix="$build/wineprefix" ;; *) prefix="$root/$build/wineprefix" ;; esac
wine_prepare_prefix "$prefix" null
# The process tests start the real program, which always uses the real per-user folder, and they
# empty that folder: only this prefix, made here for the tests and marked so, lets them run.
marker=quorvane-private-test-prefix
echo "Made by scripts/test.sh: its tests may empty the per-user folders of this prefix." >"$prefix/drive_c/$marker"
export QV_PRIVATE_PREFIX_MARKER="C:\\$marker"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true' EXIT
# Pre-start the server and system processes outside ctest's output pipe.
wineserver -p
wine wineboot </dev/null >/dev/null 2>&1 || true

# The signature test's signed sample, when it can be had.
scripts/install-deps.sh signed || true
samples=${QV_SAMPLES_DIR:-build/samples}
case "$samples" in /*) ;; *) samples="$root/$samples" ;; esac
[ -f "$samples/shimx64.efi.signed" ] && export QV_SIGNED_SAMPLE="Z:${samples//\//\\}\\shimx64.efi.signed"

echo "== windows tests (wine)"
ctest --test-dir "$build/win" --output-on-failure --timeout 300 "${filter[@]}"
