#!/usr/bin/env bash
# Builds the Wine prefix every Wine test copies: code page 950, a Big5 face
# with the names the program asks for, two sample EUDC fonts linked as the
# registry says, three Chinese input methods with sample radical dictionaries,
# and a default A4 PostScript printer that writes every job to a file.
#   make-prefix.sh PREFIX_DIR BUILD_DIR
# BUILD_DIR is the x86_64 cross build that holds testbed/kestra_bed_setup.exe.
# Does nothing when PREFIX_DIR was made from the same inputs.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: make-prefix.sh PREFIX_DIR BUILD_DIR" >&2
    exit 2
fi
prefix=$(realpath -m "$1")
build=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/.." && pwd)
setup_exe="$build/testbed/kestra_bed_setup.exe"
dictionary_script="$root/testbed/make_dictionaries.py"
stamp_name=.kestra-testbed-stamp
# Must match kPlaceholderPort in testbed/setup/bed_layout.h.
placeholder_port=/tmp/kestra-testbed-unset/printer.ps

[ -f "$setup_exe" ] || { echo "make-prefix: $setup_exe is missing (build $build first)" >&2; exit 2; }

inputs_digest() {
    {
        sha256sum "$setup_exe" "$root/scripts/make-prefix.sh" "$root/testbed/make_eudc_fonts.py" \
            "$root/testbed/kestra.ppd"
        if [ -f "$dictionary_script" ]; then sha256sum "$dictionary_script"; else echo "no dictionaries"; fi
        wine --version 2>/dev/null
    } | sed 's#  /.*/# #' | sha256sum | cut -d' ' -f1
}

digest=$(inputs_digest)
if [ -f "$prefix/$stamp_name" ] && [ "$(cat "$prefix/$stamp_name")" = "$digest" ]; then
    echo "make-prefix: $prefix is up to date"
    exit 0
fi

# Built beside the target and moved into place at the end, so an interrupted
# run never leaves a prefix that looks complete.
work="$prefix.building.$$"
rm -rf "$work"
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX="$work"
export WINEDEBUG=-all
export LC_ALL=zh_TW.UTF-8
# No Mono or Gecko: nothing here needs them, and their installers prompt.
export WINEDLLOVERRIDES="mscoree,mshtml="

finish() {
    WINEPREFIX="$work" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap finish EXIT

started=$SECONDS
echo "make-prefix: creating $prefix"
wineboot -i >/dev/null 2>&1
wineserver -w

drive_c="$work/drive_c"
fonts_dir="$drive_c/windows/Fonts"
mkdir -p "$fonts_dir" "$drive_c/kestra/dict" "$drive_c/windows/system32/spool/drivers/x64/3"
/usr/bin/python3 "$root/testbed/make_eudc_fonts.py" "$fonts_dir" >/dev/null
cp "$root/testbed/kestra.ppd" "$drive_c/windows/system32/spool/drivers/x64/3/KESTRA.PPD"
if [ -f "$dictionary_script" ]; then
    /usr/bin/python3 "$dictionary_script" "$drive_c/kestra/dict" >/dev/null
else
    echo "make-prefix: warning: $dictionary_script is missing; no radical dictionaries" >&2
fi

wine "$setup_exe" "$placeholder_port"
wineserver -w

trap - EXIT
echo "$digest" >"$work/$stamp_name"
rm -rf "$prefix"
mv "$work" "$prefix"
echo "make-prefix: done in $((SECONDS - started)) s"
