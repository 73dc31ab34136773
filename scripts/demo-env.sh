# Sourced after wine-env.sh: the sample catalogue in a Wine prefix of its own.
# demo_prepare EXE — writes the sample catalogue to C:\QuorvaneDemo of $WINEPREFIX and points the
# prefix user's Quorvane settings at it. Nothing outside the prefix is touched.
demo_prepare() {
  local exe=$1
  local root="$WINEPREFIX/drive_c/QuorvaneDemo"
  local system32="$WINEPREFIX/drive_c/windows/system32"
  # Copies of programs that carry icons stand in for the installers.
  local icons=() program
  for program in winemine.exe notepad.exe regedit.exe wordpad.exe taskmgr.exe winefile.exe; do
    [ -f "$system32/$program" ] && icons+=("$system32/$program")
  done
  icons+=("$exe")
  scripts/make-sample.sh "$root" 'C:\QuorvaneDemo' "${icons[@]}"

  local appdata base
  appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
  base="$(winepath -u "$appdata" 2>/dev/null)/Orrinwell/Quorvane"
  mkdir -p "$base"
  printf '%s\n' '<?xml version="1.0" encoding="UTF-8"?>' '<Configurations>' \
    '<AttachMode>' '1</AttachMode>' '<DataFolder>' 'C:\QuorvaneDemo\Data\</DataFolder>' \
    '<ShowAttachModeSelectDlg>' '1</ShowAttachModeSelectDlg>' \
    '<DefaultClassifyMode>' '0</DefaultClassifyMode>' '<DefaultSortKey>' '1</DefaultSortKey>' \
    '</Configurations>' >"$base/settings.xml"
  echo "settings: $base/settings.xml"
  # The server started for the query must not outlive it: a program started later, perhaps on
  # another display, needs one of its own.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
