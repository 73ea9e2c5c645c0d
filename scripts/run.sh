#!/usr/bin/env bash
# Builds Kelvorin for x64 Windows and runs it under Wine: on your display when
# there is one, otherwise on a virtual screen, saving a screenshot there.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target kelvorin -j "$(nproc 2>/dev/null || echo 2)"

export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${WINEPREFIX:-$HOME/.kelvorin-wine}"
exe="$PWD/build/win64/kelvorin.exe"

if [ ! -d "$WINEPREFIX" ]; then
  "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
  # Wine reads fonts from the prefix and fontconfig, not from the folder where
  # Debian's fonts-wine puts its own: Marlett draws the caption-bar buttons.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # Captions and menus use Tahoma, which has no Japanese: link it to the
  # installed Japanese gothic so they read under any code page.
  "$WINELOADER" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null 2>&1 || true
fi

if [ -n "${DISPLAY:-}" ]; then
  exec "$WINELOADER" "$exe"
fi

# No display: a virtual one, a shared desktop, a screenshot, then stop.
shot="${KELVORIN_SCREENSHOT:-$PWD/build/kelvorin-screenshot.png}"
exec 3>&1
fdfile=$(mktemp)
Xvfb -displayfd 4 -screen 0 1280x1000x24 -nolisten tcp 4>"$fdfile" &
xvfb=$!
trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true; rm -f "$fdfile"' EXIT
for _ in $(seq 50); do [ -s "$fdfile" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$fdfile")"
"$WINELOADER" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
"$WINELOADER" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1280x1000 /f >/dev/null 2>&1
"$WINELOADER" "$exe" &
for _ in $(seq 100); do
  xdotool search --name '^Kelvorin$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
import -window root "$shot"
echo "Kelvorin ran on a virtual screen (no DISPLAY); screenshot saved to $shot" >&3
