#!/usr/bin/env bash
# Runs Kelvorin's benchmarks and prints their figures (nothing is asserted):
#   1. the core micro benchmark (native, Google Benchmark): a refresh and the
#      process lookup over the unit tests' fake desktop of 10 000 windows;
#   2. the refresh benchmark under Wine: the real x64 kelvorin.exe on a shared
#      virtual desktop of 1000 and 2000 helper windows (start-up, refresh, the
#      platform floor, memory over 200 refreshes, CPU over 60 idle seconds).
#
#   scripts/bench.sh [refresh_bench options, e.g. --windows=1000 --idle=10]
#
# Takes about 3 minutes. Every run gets a fresh WINEPREFIX and its own Xvfb
# display, both removed on every exit path, so it can run beside the
# end-to-end tests. See docs/performance.md for the figures.
#
# Environment:
#   BENCH_SKIP_BUILD=1   use the programs already built
#   BENCH_NATIVE_DIR     native build directory (default build/native)
#   BENCH_WIN64_DIR      x64 build directory (default build/win64)
#   BENCH_LANG           locale for Wine (default ja_JP.UTF-8: code page 932)
set -euo pipefail
cd "$(dirname "$0")/.."

native_dir=${BENCH_NATIVE_DIR:-build/native}
win64_dir=${BENCH_WIN64_DIR:-build/win64}
jobs=$(nproc 2>/dev/null || echo 2)

if [ "${BENCH_SKIP_BUILD:-0}" != 1 ]; then
    bash scripts/install-deps.sh
    if [ "$native_dir" = build/native ]; then cmake --preset native >/dev/null; fi
    cmake --build "$native_dir" --target kelvorin_core_bench -j "$jobs"
    if [ "$win64_dir" = build/win64 ]; then cmake --preset win64 >/dev/null; fi
    cmake --build "$win64_dir" --target kelvorin refresh_bench bench_windows -j "$jobs"
fi

echo "== core micro benchmark (native) =="
"$native_dir/bench/kelvorin_core_bench" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true

echo
echo "== refresh benchmark (x64 kelvorin.exe under Wine) =="
WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
kelvorin=$(realpath -e "$win64_dir/kelvorin.exe")
driver=$(realpath -e "$win64_dir/bench/refresh_bench.exe")
helper=$(realpath -e "$win64_dir/bench/bench_windows.exe")

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvorin-bench.XXXXXX")
xvfb_pid=""
export WINEPREFIX=$work/prefix
export WINELOADER=$WINE64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
lang=${BENCH_LANG:-ja_JP.UTF-8}
locale -a 2>/dev/null | grep -qix "${lang/UTF-8/utf-\\?8}" || lang=C.UTF-8
export LANG=$lang LC_ALL=$lang
unset LANGUAGE

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    # Only this run's prefix: other Wine sessions on the machine are left alone.
    "$WINESERVER" -k >/dev/null 2>&1 || true
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

# A free display, picked by the X server itself.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
deadline=$((SECONDS + 15))
until [ -s "$work/display" ]; do
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 2; }
    [ $SECONDS -lt $deadline ] || { echo "bench.sh: Xvfb gave no display" >&2; exit 2; }
    sleep 0.05
done
export DISPLAY=:$(head -n1 "$work/display")

"$WINE64" wineboot -i >"$work/wineboot.log" 2>&1 </dev/null
# One shared virtual desktop that every program joins and keeps its stdout in;
# a crashing program ends at once instead of waiting in the debugger.
"$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >>"$work/wineboot.log" 2>&1
"$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1280x1000 /f \
    >>"$work/wineboot.log" 2>&1
"$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f \
    >>"$work/wineboot.log" 2>&1
"$WINESERVER" -k >/dev/null 2>&1 || true
"$WINESERVER" -w >/dev/null 2>&1 || true

winpath() { printf 'Z:%s' "${1//\//\\}"; }
echo "display $DISPLAY, locale $LANG, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
timeout --kill-after=10 900 "$WINE64" "$driver" "--kelvorin=$(winpath "$kelvorin")" \
    "--helper=$(winpath "$helper")" "$@" </dev/null
