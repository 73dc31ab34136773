#!/usr/bin/env bash
# Installs the Debian packages a group needs, only those missing.
# Usage: scripts/install-deps.sh build|display|fuzz ...
set -euo pipefail
# nlohmann-json3-dev: header-only JSON, used by both builds; python3 reads exported files back in a test.
build=(cmake make g++ clang libclang-rt-14-dev g++-mingw-w64-x86-64-posix wine wine64 googletest
  nlohmann-json3-dev python3)
display=(xvfb xauth x11-utils imagemagick fonts-wine fonts-liberation)
# The symbolizer names the source lines in the fuzzers' coverage reports.
fuzz=(llvm-14)
want=()
for group in "$@"; do
  case "$group" in
    build) want+=("${build[@]}") ;;
    display) want+=("${display[@]}") ;;
    fuzz) want+=("${fuzz[@]}") ;;
    *) echo "unknown package group: $group" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${want[@]}"; do
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" = installed ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
