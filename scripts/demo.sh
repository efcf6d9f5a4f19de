#!/usr/bin/env bash
# Shows the program on the sample data of the test bed, under Wine with code
# page 950. With a display it simply runs; without one it runs on a virtual
# screen, takes a screenshot into out/demo.png and closes the program.
#   KESTRA_DEMO_SECONDS  how long to wait before the screenshot (default 8)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build="$root/build/x64"
program="$build/app/Kestra.exe"
prefix="$root/out/demo-prefix"
screenshot="$root/out/demo.png"
print_file="$root/out/demo-print.ps"
wait_seconds=${KESTRA_DEMO_SECONDS:-8}

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

# Inside its own X server: the Wine desktop draws window captions, which a
# bare X server without a window manager would not.
rm -f "$screenshot"
export KESTRA_DEMO_PROGRAM="$program" KESTRA_DEMO_SHOT="$screenshot" KESTRA_DEMO_WAIT="$wait_seconds"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine explorer /desktop=kestra,1024x768 "$KESTRA_DEMO_PROGRAM" >/dev/null 2>&1 &
    sleep "$KESTRA_DEMO_WAIT"
    import -window root "$KESTRA_DEMO_SHOT"
    wineserver -k
    wait
' || true
wineserver -w 2>/dev/null || true

if [ ! -s "$screenshot" ]; then
    echo "demo: no screenshot was taken" >&2
    exit 1
fi
echo "demo: screenshot in $screenshot"
