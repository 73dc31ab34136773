#!/usr/bin/env bash
# Installs the Debian packages a group needs, only those missing.
# Usage: scripts/install-deps.sh build|display|fuzz|package|signed ...
# signed: a Microsoft-signed PE for the signature tests, build/samples/shimx64.efi.signed (or under
# QV_SAMPLES_DIR), unpacked from Debian's shim-signed package without installing it: installing would
# pull in a boot loader. Without the network the signature test skips.
set -euo pipefail
# zlib compresses the backups: for the native core, and static for the Windows build.
# nlohmann-json3-dev: header-only JSON, used by both builds; python3 reads exported files back in a test.
build=(cmake make g++ clang libclang-rt-14-dev g++-mingw-w64-x86-64-posix wine wine64 googletest zlib1g-dev
       libz-mingw-w64-dev nlohmann-json3-dev python3)
display=(xvfb xauth x11-utils imagemagick fonts-wine fonts-liberation)
# The symbolizer names the source lines in the fuzzers' coverage reports.
fuzz=(llvm-14)
signed_sample() {
  local dir=${QV_SAMPLES_DIR:-build/samples}
  [ -f "$dir/shimx64.efi.signed" ] && return 0
  mkdir -p "$dir/deb"
  if (cd "$dir/deb" && apt-get download shim-signed >/dev/null 2>&1) &&
     dpkg-deb -x "$dir"/deb/shim-signed_*.deb "$dir/deb/x"; then
    cp "$dir/deb/x/usr/lib/shim/shimx64.efi.signed" "$dir/"
  else
    echo "shim-signed could not be fetched; the signed-file test will skip" >&2
  fi
  rm -rf "$dir/deb"
}
# Packaging: wixl builds the installer package (msitools inspects it), zip the portable archive,
# unzip lets the package test unpack it.
package=(wixl msitools zip unzip)
want=()
for group in "$@"; do
  case "$group" in
    signed) signed_sample ;;
    build) want+=("${build[@]}") ;;
    display) want+=("${display[@]}") ;;
    fuzz) want+=("${fuzz[@]}") ;;
    package) want+=("${package[@]}") ;;
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
