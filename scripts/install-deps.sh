#!/usr/bin/env bash
# Installs everything Kelvorin needs to build and test on Debian 12: the host and
# MinGW-w64 tool chains, GoogleTest, Wine (64-bit only), Xvfb and the input and
# screenshot tools the end-to-end suite uses, a Japanese font and the ja_JP locale.
set -euo pipefail

# fonts-wine holds Wine's own fonts, Marlett among them: without it every
# caption-bar button is drawn as a letter ("0 1 r"). Only a recommendation of
# wine64, so --no-install-recommends would leave it out; and Wine does not read
# the folder it goes to, so the scripts copy Marlett into each new prefix.
PACKAGES=(
  cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine64 xvfb xdotool imagemagick x11-utils zip libxfixes-dev
  fonts-ipafont-gothic fonts-wine locales
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
