#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine, or
# with --package only what building kestra-table's Debian package needs (make
# deb), or with --bench that and what the benchmarks need besides (make bench). Idempotent: does nothing when everything is already there. It never
# removes a package: where one is in the way, it says so and stops.
set -euo pipefail

# kestra-table and its manual page, and cpack's tools for the package.
package_build=(
    cmake make g++ pkg-config libfreetype-dev libfontconfig-dev libharfbuzz-dev libdeflate-dev
    dpkg-dev file
)
# Everything else: the Windows builds and Wine, the tests and their readers.
development=(
    clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
    mingw-w64 wine wine64 xvfb xauth xdotool imagemagick ghostscript
    fonts-arphic-uming fonts-cns11643-sung fonts-droid-fallback fonts-dejavu-core
    python3-fonttools locales clang-format nsis man-db poppler-utils qpdf mupdf-tools fntsample
    lintian
)

# The matching benchmark: every default reference font, the Kai face its
# labelled glyphs come from, and what draws and scores them.
benchmarks=(
    fonts-hanazono fonts-babelstone-han fonts-arphic-ukai python3-numpy python3-scipy python3-pil
)

packages=("${package_build[@]}")
[ "${1:-}" = "--package" ] || packages+=("${development[@]}")
[ "${1:-}" != "--bench" ] || packages+=("${benchmarks[@]}")

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# wine32 cannot run on these machines and breaks the 64-bit Wine launcher; it
# comes with wine where the i386 architecture is enabled.
wine32_in_the_way() {
    echo "setup: $1: 32-bit programs cannot run on this machine, and wine32 breaks the" \
         "64-bit Wine launcher; remove it (apt-get remove wine32) and run this again" >&2
    exit 1
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done

if [ "${1:-}" != "--package" ] && installed wine32; then
    wine32_in_the_way "wine32 is installed"
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    $SUDO apt-get update -qq
    if [ "${1:-}" != "--package" ] &&
        apt-get install -s "${missing[@]}" 2>/dev/null | grep -q '^Inst wine32 '; then
        wine32_in_the_way "installing ${missing[*]} would bring wine32"
    fi
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

[ "${1:-}" != "--package" ] || exit 0

# Wine takes its ANSI code page from the locale: zh_TW gives code page 950.
if ! locale -a 2>/dev/null | grep -qi '^zh_TW\.utf-\?8$'; then
    echo "setup: generating the zh_TW.UTF-8 locale"
    $SUDO sed -i 's/^# *zh_TW.UTF-8 UTF-8/zh_TW.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_TW.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_TW.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
fi
