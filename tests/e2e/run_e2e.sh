#!/usr/bin/env bash
# Runs the end-to-end driver under Wine on a private virtual X screen.
#
#   run_e2e.sh CODEPAGE KELVORIN_EXE DRIVER_EXE HELPER_EXE [driver arguments...]
#
# CODEPAGE is 1252 or 932: the ANSI code page Wine gives its programs, chosen
# through the Unix locale. Every run gets a fresh WINEPREFIX in a temporary
# directory and its own Xvfb display, so runs can go side by side; both are
# removed on every exit path. The exit status is the driver's.
#
# Environment:
#   KELVORIN_E2E_SCREENSHOTS  a directory: this script saves a screenshot of the
#                             screen there at the end of the run.
#   KELVORIN_E2E_TIMEOUT      seconds the driver may run (default 600).
#   WINE64, WINESERVER        the Wine loader and server (Debian's by default).
set -euo pipefail

die() {
    echo "run_e2e.sh: $*" >&2
    exit 2
}

[ $# -ge 4 ] || die "usage: run_e2e.sh CODEPAGE KELVORIN_EXE DRIVER_EXE HELPER_EXE [driver arguments...]"
codepage=$1
kelvorin=$(realpath -e "$2" 2>/dev/null) || die "no program at $2 (build the win64 preset first)"
driver=$(realpath -e "$3" 2>/dev/null) || die "no driver at $3"
helper=$(realpath -e "$4" 2>/dev/null) || die "no helper at $4"
shift 4

case $codepage in
    932) locale_name=ja_JP.UTF-8 ;;
    1252) locale_name=C.UTF-8 ;;
    *) die "code page must be 932 or 1252, not $codepage" ;;
esac

WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
[ -x "$WINE64" ] || die "the Wine loader $WINE64 is missing (scripts/install-deps.sh installs wine64)"
[ -x "$WINESERVER" ] || die "the Wine server $WINESERVER is missing (scripts/install-deps.sh installs wine64)"
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || die "$tool is missing (scripts/install-deps.sh installs it)"
done
if [ "$codepage" = 932 ] && ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
    die "the ja_JP.UTF-8 locale is not generated (scripts/install-deps.sh generates it)"
fi

# Windows sees the Unix file system on drive Z: in every prefix.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvorin-e2e.XXXXXX")
xvfb_pid=""
driver_pid=""
export WINEPREFIX=$work/prefix
export WINELOADER=$WINE64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=$locale_name LC_ALL=$locale_name
unset LANGUAGE

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    if [ -n "$driver_pid" ]; then
        kill "$driver_pid" 2>/dev/null || true
        wait "$driver_pid" 2>/dev/null || true
    fi
    # The server may have gone already (it ends itself when idle): not an error.
    [ -d "$WINEPREFIX" ] && "$WINESERVER" -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

started=${EPOCHREALTIME/./}
elapsed() {
    local us=$((${EPOCHREALTIME/./} - started))
    printf '%d.%d s' $((us / 1000000)) $((us / 100000 % 10))
}

# A free display, picked by the server itself.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
deadline=$((SECONDS + 15))
until [ -s "$work/display" ]; do
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; die "Xvfb did not start"; }
    [ $SECONDS -lt $deadline ] || die "Xvfb gave no display number within 15 s"
    sleep 0.05
done
export DISPLAY=:$(head -n1 "$work/display")

timeout 180 "$WINE64" wineboot -i >"$work/wineboot.log" 2>&1 </dev/null ||
    { cat "$work/wineboot.log" >&2; die "wineboot -i failed"; }
# Wine reads fonts from the prefix and fontconfig, not from the folder where
# Debian's fonts-wine puts its own: Marlett draws the caption-bar buttons.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
# One shared virtual desktop that every program joins (and keeps its stdout);
# a crashing program ends at once instead of waiting in winedbg.
cat >"$work/setup.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="shell"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"shell"="1280x1000"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"="-"
"Auto"="1"
EOF
timeout 60 "$WINE64" regedit /S "$(winpath "$work/setup.reg")" </dev/null >>"$work/wineboot.log" 2>&1 ||
    { cat "$work/wineboot.log" >&2; die "the prefix settings could not be written"; }
echo "run_e2e.sh: code page $codepage ($locale_name), display $DISPLAY, prefix ready after $(elapsed)"

driver_args=("$(winpath "$kelvorin")" "$(winpath "$helper")" "$codepage" "$work")

# In the background, so that an interrupt reaches the trap at once (bash runs
# traps only between commands, and wait is one it interrupts).
status=0
timeout --kill-after=10 "${KELVORIN_E2E_TIMEOUT:-600}" \
    "$WINE64" "$driver" "${driver_args[@]}" "$@" </dev/null &
driver_pid=$!
wait "$driver_pid" || status=$?
driver_pid=""
if [ $status -eq 124 ]; then
    echo "run_e2e.sh: the driver did not finish within ${KELVORIN_E2E_TIMEOUT:-600} s" >&2
fi

if [ -n "${KELVORIN_E2E_SCREENSHOTS:-}" ]; then
    mkdir -p "$KELVORIN_E2E_SCREENSHOTS"
    shot="$KELVORIN_E2E_SCREENSHOTS/e2e-cp$codepage-end.png"
    import -window root "$shot" && echo "run_e2e.sh: screenshot $shot"
fi
echo "run_e2e.sh: code page $codepage finished with status $status after $(elapsed)"
exit $status
