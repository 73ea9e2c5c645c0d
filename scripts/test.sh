#!/usr/bin/env bash
# Builds the three presets (native, win64, win32) and runs the unit tests and
# the end-to-end tests under Wine (code pages 1252 and 932) through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
for preset in native win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

status=0
ctest --preset native || status=1
ctest --preset win64 -j 2 || status=1
exit $status
