# Sourced: sets up a Wine prefix for the program and its tests.
# wine_prepare_prefix DIR null|x11 — creates the prefix once and picks the display driver.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export PATH="$PATH:/usr/lib/wine"

wine_prepare_prefix() {
  export WINEPREFIX="$1"
  local driver="$2"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
  fi
  # Debian's Wine does not find its Marlett font; caption glyphs need it.
  if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # Registry settings must be in place before Wine's desktop process starts.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d "$driver" /f >/dev/null 2>&1
  if [ "$driver" = x11 ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  fi
  wineserver -w
}
