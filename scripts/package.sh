#!/usr/bin/env bash
# Builds the release: kelvorin-x86.exe and kelvorin-x64.exe (static, with the
# version resource and manifest) and a zip holding both and the README, in dist/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

version=$(sed -n 's/^project(Kelvorin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
jobs=$(nproc 2>/dev/null || echo 2)
rm -rf dist
mkdir -p dist
for arch in win32:x86:i686 win64:x64:x86_64; do
  IFS=: read -r preset name triple <<<"$arch"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target kelvorin -j "$jobs"
  cp "build/$preset/kelvorin.exe" "dist/kelvorin-$name.exe"
  "$triple-w64-mingw32-strip" "dist/kelvorin-$name.exe"
  # Only the system's own DLLs may be needed: the exe is copied and run alone.
  extra=$("$triple-w64-mingw32-objdump" -p "dist/kelvorin-$name.exe" | sed -n 's/^\s*DLL Name: //p' |
          grep -viE '^(kernel32|user32|gdi32|shell32|comctl32|comdlg32|advapi32|msvcrt|uxtheme|ole32)\.dll$' || true)
  if [ -n "$extra" ]; then
    echo "kelvorin-$name.exe needs DLLs that Windows does not ship: $extra" >&2
    exit 1
  fi
done
cp README.md dist/
(cd dist && rm -f "kelvorin-$version.zip" && zip -q "kelvorin-$version.zip" kelvorin-x86.exe kelvorin-x64.exe README.md)
echo "dist/kelvorin-$version.zip: $(cd dist && ls kelvorin-x86.exe kelvorin-x64.exe README.md | tr '\n' ' ')"
