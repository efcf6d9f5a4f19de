#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine.
# Idempotent: does nothing when everything is already there.
set -euo pipefail

packages=(
    cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
    mingw-w64 wine wine64 xvfb xauth xdotool imagemagick ghostscript
    fonts-arphic-uming fonts-cns11643-sung python3-fonttools locales clang-format nsis
    pkg-config libfreetype-dev libfontconfig-dev libqpdf-dev libdeflate-dev dpkg-dev man-db
    poppler-utils qpdf mupdf-tools fntsample
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# wine32 cannot run on these machines and breaks the 64-bit launcher when present.
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq wine32 >/dev/null
fi

# Wine takes its ANSI code page from the locale: zh_TW gives code page 950.
if ! locale -a 2>/dev/null | grep -qi '^zh_TW\.utf-\?8$'; then
    echo "setup: generating the zh_TW.UTF-8 locale"
    $SUDO sed -i 's/^# *zh_TW.UTF-8 UTF-8/zh_TW.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_TW.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_TW.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
fi
