#!/usr/bin/env bash
# Builds the release program and packages it:
#   build/dist/Quorvane-<version>.msi           Windows Installer package, per machine
#   build/dist/Quorvane-<version>-portable.zip  the program, README and licence
# The version is the project's (CMakeLists.txt). QV_PACKAGE_VERSION=MAJOR.MINOR.PATCH builds and
# packages another one without touching the source (the upgrade test packages a higher one);
# QV_BUILD_DIR puts the builds and packages elsewhere, as for scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
build=${QV_BUILD_DIR:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

scripts/install-deps.sh build package

# Its own optimised build: the test build's options and objects stay as they are.
release="$build/release"
cmake -S . -B "$release" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DQV_VERSION="${QV_PACKAGE_VERSION:-}" >/dev/null
cmake --build "$release" -j"$jobs" --target Quorvane
version=$(cat "$release/Version.txt")

dist="$build/dist"
stage="$release/package"
rm -rf "$stage"
mkdir -p "$stage" "$dist"
x86_64-w64-mingw32-strip -o "$stage/Quorvane.exe" "$release/app/Quorvane.exe"
cp README.md "$stage/README.md"
cp packaging/LICENSE.txt "$stage/LICENSE.txt"
cp res/art/quorvane.ico "$stage/Quorvane.ico"

msi="$dist/Quorvane-$version.msi"
zip="$dist/Quorvane-$version-portable.zip"
rm -f "$msi" "$zip"
# wixl takes the packaged files by names relative to where it runs. The package's version is the
# one the executable's version resource and the About box carry: a.b.c.0.
IFS=. read -r major minor patch <<<"$version"
(cd "$stage" && wixl --arch x64 -D Version="$version.0" -D NextPatchVersion="$major.$minor.$((patch + 1)).0" \
  -D Exe=Quorvane.exe -D License=LICENSE.txt -D Icon=Quorvane.ico -o "$msi" "$root/packaging/Quorvane.wxs")
(cd "$stage" && zip -q -X "$zip" Quorvane.exe README.md LICENSE.txt)

echo "packaged Quorvane $version:"
ls -l "$msi" "$zip" | awk '{ printf "  %9d bytes  %s\n", $5, $NF }'
