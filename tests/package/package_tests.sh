#!/usr/bin/env bash
# The installer package and the portable zip as a user meets them, under Wine:
#   1. a silent install puts the program and its Start-menu shortcut where they belong and registers it
#      under installed programs with its maker, version and icon;
#   2. the installed program starts and shows its first-start messages;
#   3. a package of a higher version replaces it in place and leaves the per-user folder as it was,
#      and the older package then refuses to go back over it;
#   4. a silent uninstall removes the program, its folder and shortcut, and leaves the data folder and
#      the per-user folder byte for byte;
#   5. the zip's program starts from any folder the same way.
# Usage: package_tests.sh PROBE, with the packages scripts/package.sh built named by QV_PACKAGE_MSI,
# QV_PACKAGE_NEWER_MSI (a higher version) and QV_PACKAGE_ZIP; scripts/test.sh sets them. It installs
# into the Wine prefix and empties the per-user folder, so it runs only in the prefix that
# scripts/test.sh made and marked (QV_PRIVATE_PREFIX_MARKER).
set -uo pipefail
probe_exe=$1

if [ -z "${QV_PACKAGE_MSI:-}" ] || [ -z "${QV_PACKAGE_NEWER_MSI:-}" ] || [ -z "${QV_PACKAGE_ZIP:-}" ]; then
  echo "SKIPPED: no packages named (QV_PACKAGE_MSI, QV_PACKAGE_NEWER_MSI, QV_PACKAGE_ZIP): scripts/test.sh builds them"
  exit 77
fi
if [ -z "${QV_PRIVATE_PREFIX_MARKER:-}" ]; then
  echo "SKIPPED: not inside the private Wine prefix of scripts/test.sh: installing would change this user's own prefix"
  exit 77
fi

step="set-up"
fail() {
  echo "FAILED in step \"$step\": $*"
  exit 1
}
begin() {
  step=$1
  echo "== $step"
}

marker=$(winepath -u "$QV_PRIVATE_PREFIX_MARKER" 2>/dev/null)
[ -f "$marker" ] || fail "QV_PRIVATE_PREFIX_MARKER names a marker that this Wine prefix ($WINEPREFIX) does not hold"
for file in "$QV_PACKAGE_MSI" "$QV_PACKAGE_NEWER_MSI" "$QV_PACKAGE_ZIP" "$probe_exe"; do
  [ -f "$file" ] || fail "$file is missing"
done
# The versions the packages carry, from their names (Quorvane-MAJOR.MINOR.PATCH.msi).
version_of() { basename "$1" | sed -n 's/^Quorvane-\([0-9]*\.[0-9]*\.[0-9]*\)\(-portable\.zip\|\.msi\)$/\1/p'; }
old_version=$(version_of "$QV_PACKAGE_MSI")
new_version=$(version_of "$QV_PACKAGE_NEWER_MSI")
zip_version=$(version_of "$QV_PACKAGE_ZIP")
[ -n "$old_version" ] && [ -n "$new_version" ] && [ -n "$zip_version" ] || fail "package names without a version"
[ "$(printf '%s\n%s\n' "$old_version" "$new_version" | sort -V | tail -1)" = "$new_version" ] &&
  [ "$old_version" != "$new_version" ] || fail "QV_PACKAGE_NEWER_MSI ($new_version) is not newer than $old_version"

# Shortcuts must not reach this user's own desktop menus through Wine's menu builder.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a Windows program for at most LIMIT seconds, its output kept in $work/out.txt.
run() {
  local limit=$1
  shift
  timeout "$limit" wine "$@" >"$work/out.txt" 2>&1
}
show_output() { sed 's/\r$//; s/^/    /' "$work/out.txt"; }
variable() { timeout 60 wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null; }
windows_path() { winepath -w "$1" 2>/dev/null; }

program_files=$(variable ProgramW6432)
program_data=$(variable ProgramData)
app_data=$(variable APPDATA)
[ -n "$program_files" ] && [ -n "$program_data" ] && [ -n "$app_data" ] || fail "Wine reported no Program Files, ProgramData or APPDATA folder"
install_folder_win="$program_files\\Orrinwell\\Quorvane"
installed_exe_win="$install_folder_win\\Quorvane.exe"
maker_folder=$(unix_path "$program_files\\Orrinwell")
install_folder=$(unix_path "$install_folder_win")
# A per-machine package puts its shortcut in the Start menu of all users. Wine's installer puts it
# in the Start menu of the user who installs (its ProgramMenuFolder ignores ALLUSERS), so that one
# counts too, and the test says which it found.
common_shortcut_win="$program_data\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvane.lnk"
user_shortcut_win="$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvane.lnk"
common_shortcut=$(unix_path "$common_shortcut_win")
user_shortcut=$(unix_path "$user_shortcut_win")
per_user_folder=$(unix_path "$app_data\\Orrinwell\\Quorvane")
test_root=$(unix_path 'C:\QuorvanePackageTest')
data_folder_win='C:\QuorvanePackageTest\Data\'
data_folder=$(unix_path "$data_folder_win")

# The entries under installed programs named Quorvane:
# "KEY|DisplayVersion|Publisher|UninstallString|DisplayIcon".
# reg itself may fail to start under load; only a listing it completed says what is installed, so a
# failed query is asked again, up to three times, and what it said kept for the failure message.
uninstall_entries() {
  local listing attempt code
  for attempt in 1 2 3; do
    listing=$(timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>"$work/reg.err")
    code=$?
    echo "reg query exited with $code: $(tr -d '\r' <"$work/reg.err")" >"$work/reg.txt"
    [ $code -eq 0 ] && grep -q 'Uninstall' <<<"$listing" && break
  done
  printf '%s\n' "$listing" | tr -d '\r' |
    awk -F '    ' '
      function flush() { if (name == "Quorvane") print key "|" version "|" publisher "|" uninstall "|" icon }
      /^HKEY_/ { flush(); key = $0; name = version = publisher = uninstall = icon = ""; next }
      $2 == "DisplayName" { name = $4 }
      $2 == "DisplayVersion" { version = $4 }
      $2 == "Publisher" { publisher = $4 }
      $2 == "UninstallString" { uninstall = $4 }
      $2 == "DisplayIcon" { icon = $4 }
      END { flush() }'
}
# The icon that Windows Installer registered for the product named Quorvane.
product_icon() {
  timeout 60 wine reg query 'HKLM\Software\Classes\Installer\Products' /s 2>/dev/null | tr -d '\r' |
    awk -F '    ' '
      function flush() { if (name == "Quorvane") print icon }
      /^HKEY_/ { flush(); name = icon = ""; next }
      $2 == "ProductName" { name = $4 }
      $2 == "ProductIcon" { icon = $4 }
      END { flush() }'
}
# Every file and folder below a folder with the checksum of each file, to compare byte for byte.
snapshot() {
  (cd "$1" && find . -mindepth 1 -type d -printf 'folder %p\n' && find . -type f -exec sha256sum {} +) | sort
}
file_version() {
  run 60 "$probe_exe" version "$1" || { show_output; fail "could not read the version of $1"; }
  tr -d '\r' <"$work/out.txt"
}
# Starts a program with the probe: first-start EXE [DATAFOLDER], or start EXE.
drive() {
  if ! run 240 "$probe_exe" "$@"; then
    show_output
    fail "the program did not behave (probe $*)"
  fi
  show_output
}
install() {
  local msi=$1 what=$2
  run 300 msiexec /i "$(windows_path "$msi")" /qn
  local code=$?
  [ $code -eq 124 ] && fail "msiexec /i $(basename "$msi") did not end within 300 s"
  [ $code -eq 0 ] || { show_output; fail "msiexec /i $(basename "$msi") /qn ($what) exited with $code"; }
}
check_installed() {
  local version=$1
  [ -f "$install_folder/Quorvane.exe" ] || fail "no program at $installed_exe_win; Program Files holds: $(ls -R "$maker_folder" 2>&1)"
  [ -f "$install_folder/LICENSE.txt" ] || fail "no licence beside the program; found: $(ls "$install_folder")"
  [ "$(file_version "$installed_exe_win")" = "$version.0" ] ||
    fail "the installed program carries version $(file_version "$installed_exe_win"), not $version.0"
  if [ -f "$common_shortcut" ]; then
    shortcut_win=$common_shortcut_win shortcut_note=""
  elif [ -f "$user_shortcut" ]; then
    shortcut_win=$user_shortcut_win shortcut_note=" (the installing user's Start menu, as Wine's installer does)"
  else
    fail "no Start-menu shortcut at $common_shortcut_win (nor $user_shortcut_win); the folders hold:" \
      "$(ls "$(dirname "$common_shortcut")" 2>&1) / $(ls "$(dirname "$user_shortcut")" 2>&1)"
  fi
  run 60 "$probe_exe" shortcut "$shortcut_win" || { show_output; fail "unreadable shortcut"; }
  local target icon
  target=$(tr -d '\r' <"$work/out.txt" | sed -n 's/^target=//p')
  icon=$(tr -d '\r' <"$work/out.txt" | sed -n 's/^icon=//p')
  [ "${target,,}" = "${installed_exe_win,,}" ] || fail "the shortcut points at \"$target\", not at $installed_exe_win"
  [ -n "$icon" ] && [ -s "$(unix_path "${icon%,*}")" ] || fail "the shortcut's icon \"$icon\" is not a file"
  local entries
  entries=$(uninstall_entries)
  [ "$(grep -c . <<<"$entries")" -eq 1 ] ||
    fail "expected one entry under installed programs, found: ${entries:-none} ($(cat "$work/reg.txt"))"
  IFS='|' read -r key display_version publisher uninstall display_icon <<<"$entries"
  [ "$display_version" = "$version.0" ] || fail "the uninstall entry says version \"$display_version\", not $version.0 ($key)"
  [ "$publisher" = Orrinwell ] || fail "the uninstall entry names the maker \"$publisher\" ($key)"
  product_code=${key##*\\}
  [[ "${uninstall,,}" == *"/x${product_code,,}"* ]] || fail "the uninstall entry's command \"$uninstall\" does not remove $product_code"
  [ "${display_icon,,}" = "${installed_exe_win,,},0" ] || fail "the uninstall entry's icon is \"$display_icon\", not the program's"
  local registered_icon
  registered_icon=$(product_icon)
  [ -n "$registered_icon" ] && [ -s "$(unix_path "$registered_icon")" ] ||
    fail "the product's icon for installed programs is \"$registered_icon\", not a file"
  # What Wine's own list of installed programs shows.
  run 60 uninstaller --list || { show_output; fail "Wine's list of installed programs did not open"; }
  grep -qF "$product_code|||Quorvane" <(tr -d '\r' <"$work/out.txt") ||
    fail "Wine's list of installed programs does not show $product_code as Quorvane: $(show_output)"
  echo "installed $version.0 at $installed_exe_win; shortcut $shortcut_win$shortcut_note -> $target (icon $icon);"
  echo "  entry $product_code: version $display_version, maker $publisher, icon $display_icon (product icon $registered_icon)"
}

begin "clean prefix"
# An earlier run may have left a package installed in this prefix: remove it the way a user would.
while IFS='|' read -r key _; do
  [ -n "$key" ] || continue
  echo "removing an earlier install ${key##*\\}"
  run 300 msiexec /x "${key##*\\}" /qn || { show_output; fail "could not remove the earlier install ${key##*\\}"; }
done <<<"$(uninstall_entries)"
rm -rf "$per_user_folder" "$test_root"
[ ! -e "$install_folder" ] || fail "$install_folder_win is left from an earlier run"

begin "1. silent install"
install "$QV_PACKAGE_MSI" "$old_version"
check_installed "$old_version"

begin "2. the installed program starts"
# A data folder the user made before, holding a record, which the program is given.
mkdir -p "$data_folder"
printf '%s' '<?xml version="1.0" encoding="UTF-8"?>
<Software>
<BasicInfo>
<Name>
Tapedeck</Name>
<Version>
2.1</Version>
<Company>
Reel Audio</Company>
<Website>
</Website>
<Price>
 0.00</Price>
<Currency>
0</Currency>
<Category>
0</Category>
<Type>
0</Type>
</BasicInfo>
<RegInfo>
<UserName>
</UserName>
<UserCompany>
</UserCompany>
<UserEmail>
</UserEmail>
<Comment>
</Comment>
</RegInfo>
<InstallerInfo>
<InstallerPath>
</InstallerPath>
<OriginalPath>
</OriginalPath>
<AttachMode>
0</AttachMode>
</InstallerInfo>
</Software>
' >"$data_folder/{6F1E3C2A-8B4D-4E5F-9A7B-1C2D3E4F5A6B}"
drive first-start "$installed_exe_win" "$data_folder_win"
[ -f "$per_user_folder/settings.xml" ] || fail "the program left no settings in $per_user_folder"
grep -qF "$data_folder_win" "$per_user_folder/settings.xml" || fail "the settings do not name the data folder: $(cat "$per_user_folder/settings.xml")"

begin "3. upgrade in place"
per_user_before=$(snapshot "$per_user_folder")
data_before=$(snapshot "$data_folder")
install "$QV_PACKAGE_NEWER_MSI" "$new_version"
check_installed "$new_version"
[ "$(snapshot "$per_user_folder")" = "$per_user_before" ] ||
  fail "the upgrade changed the per-user folder: $(diff <(echo "$per_user_before") <(snapshot "$per_user_folder"))"
[ "$(snapshot "$data_folder")" = "$data_before" ] ||
  fail "the upgrade changed the data folder: $(diff <(echo "$data_before") <(snapshot "$data_folder"))"
# The upgraded program finds the user's settings: no first-start messages.
drive start "$installed_exe_win"
# The older package does not go back over the newer one.
run 300 msiexec /i "$(windows_path "$QV_PACKAGE_MSI")" /qn
code=$?
[ $code -ne 0 ] || fail "the older package ($old_version) installed over $new_version"
echo "the older package ($old_version) was refused (msiexec exited with $code)"
check_installed "$new_version"

begin "4. silent uninstall"
per_user_before=$(snapshot "$per_user_folder")
data_before=$(snapshot "$data_folder")
run 300 msiexec /x "$product_code" /qn
code=$?
[ $code -eq 0 ] || { show_output; fail "msiexec /x $product_code /qn exited with $code"; }
[ ! -e "$install_folder" ] || fail "$install_folder_win is left: $(ls -la "$install_folder")"
[ ! -e "$maker_folder" ] || fail "the maker's folder is left: $(ls -la "$maker_folder")"
[ ! -e "$common_shortcut" ] || fail "the Start-menu shortcut is left at $common_shortcut_win"
[ ! -e "$user_shortcut" ] || fail "the Start-menu shortcut is left at $user_shortcut_win"
entries=$(uninstall_entries)
[ -z "$entries" ] || fail "entries left under installed programs: $entries"
[ "$(snapshot "$per_user_folder")" = "$per_user_before" ] ||
  fail "the uninstall changed the per-user folder: $(diff <(echo "$per_user_before") <(snapshot "$per_user_folder"))"
[ "$(snapshot "$data_folder")" = "$data_before" ] ||
  fail "the uninstall changed the data folder: $(diff <(echo "$data_before") <(snapshot "$data_folder"))"
echo "removed: no program folder, shortcut or entry; the data folder ($(grep -c . <<<"$data_before") entries) and the per-user folder ($(grep -c . <<<"$per_user_before") entries) are as they were"

begin "5. the portable zip"
contents=$(unzip -Z1 "$QV_PACKAGE_ZIP" | sort | tr '\n' ' ')
[ "$contents" = "LICENSE.txt Quorvane.exe README.md " ] || fail "the zip holds: $contents"
portable="$test_root/Portable Quorvane"
mkdir -p "$portable"
unzip -q "$QV_PACKAGE_ZIP" -d "$portable" || fail "the zip does not unpack"
portable_exe_win="$(windows_path "$portable")\\Quorvane.exe"
[ "$(file_version "$portable_exe_win")" = "$zip_version.0" ] ||
  fail "the zip's program carries version $(file_version "$portable_exe_win"), not $zip_version.0"
rm -rf "$per_user_folder"
drive first-start "$portable_exe_win"

rm -rf "$per_user_folder" "$test_root"
echo "package tests passed: install, start, upgrade, uninstall, portable zip"
