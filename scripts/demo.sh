#!/usr/bin/env bash
# Shows the program on the sample data of the test bed, under Wine with code
# page 950. With a display it simply runs, for a person to use. Without one it
# runs the first flow unattended on a virtual screen (a face with a link of
# its own, a range with both input methods, preview, print) and leaves
# pictures in out/, the ones docs/ holds:
# font-dialog.png, range-dialog.png, main-window.png, preview.png and
# printed-page1.png (the printed PostScript's first page).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build="$root/build/x64"
program="$build/app/Kestra.exe"
prefix="$root/out/demo-prefix"
print_file="$root/out/demo-print.ps"

if [ ! -f "$program" ]; then
    echo "demo: $program does not exist yet; build it first (make x64)" >&2
    exit 1
fi

mkdir -p "$root/out"
bash "$root/scripts/make-prefix.sh" "$prefix" "$build"
# Jobs printed from the demo go to out/demo-print.ps.
if grep -q "kestra-testbed-unset" "$prefix/system.reg"; then
    bash "$root/testbed/point-printer.sh" "$prefix" "$print_file"
fi

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export LC_ALL=zh_TW.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ]; then
    echo "demo: printed pages go to $print_file"
    wine "$program"
    wineserver -w
    exit 0
fi

# Unattended, inside its own X server: the Wine desktop draws window
# captions, which a bare X server without a window manager would not. The
# driver runs the program through its first flow and pictures every step.
driver="$build/app/kestra_demo_drive.exe"
[ -f "$driver" ] || { echo "demo: $driver is missing (build x64 with its tests)" >&2; exit 1; }
pictures="$root/out"
rm -f "$pictures"/{font-dialog,range-dialog,main-window,preview}.{bmp,png} "$pictures/printed-page1.png"
export KESTRA_BUILD_DIR="$build"
export KESTRA_DEMO_DRIVER="$driver" KESTRA_DEMO_OUT="Z:${pictures//\//\\}" KESTRA_DEMO_PRINT="Z:${print_file//\//\\}"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine explorer /desktop=kestra,1024x768 "$KESTRA_DEMO_DRIVER" "$KESTRA_DEMO_OUT" "$KESTRA_DEMO_PRINT"
    wineserver -w
' || status=$?
wineserver -k 2>/dev/null || true

for step in font-dialog range-dialog main-window preview; do
    if [ -s "$pictures/$step.bmp" ]; then
        convert "$pictures/$step.bmp" "$pictures/$step.png" && rm -f "$pictures/$step.bmp"
    else
        echo "demo: no picture of the $step" >&2
        status=1
    fi
done
if [ -s "$print_file" ]; then
    gs -q -sDEVICE=png16m -r100 -dFirstPage=1 -dLastPage=1 -o "$pictures/printed-page1.png" "$print_file"
else
    echo "demo: nothing was printed" >&2
    status=1
fi
ls -l "$pictures"/*.png 2>/dev/null || true
exit "$status"
