#!/usr/bin/env bash
# Runs one cross-built program under Wine in its own throw-away copy of the
# test-bed prefix, with code page 950, on its own X display when there is none,
# and shuts down only that prefix's wineserver afterwards.
#   KESTRA_PREFIX_TEMPLATE  the prefix made by scripts/make-prefix.sh
#   KESTRA_KEEP_PREFIX=1    keep the copy (its path is printed) for inspection
#   KESTRA_AFTER_WINE       a script run after Wine exits, with KESTRA_TEST_OUTPUT
#                           set; its failure fails the run
#   KESTRA_DPI              the screen's dots per inch (the user's LogPixels); 96 when unset
set -uo pipefail

template=${KESTRA_PREFIX_TEMPLATE:?KESTRA_PREFIX_TEMPLATE names the test-bed prefix}
[ -d "$template" ] || { echo "wine-test: no prefix at $template (run scripts/make-prefix.sh)" >&2; exit 2; }

work=$(mktemp -d /tmp/kestra-wine.XXXXXX)
export WINEPREFIX="$work/prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=zh_TW.UTF-8
export KESTRA_TEST_OUTPUT="$work/out"
mkdir -p "$KESTRA_TEST_OUTPUT"
cp -a "$template" "$WINEPREFIX"
# The template's printer writes to a placeholder; this copy prints into its own folder.
bash "$(dirname "$0")/../testbed/point-printer.sh" "$WINEPREFIX" "$KESTRA_TEST_OUTPUT/printer.ps" || exit 2
if [ -n "${KESTRA_DPI:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$KESTRA_DPI" /f \
        >/dev/null 2>&1 || exit 2
    # Started without a display, this wineserver could open no windows later.
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
fi

cleanup() {
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    if [ "${KESTRA_KEEP_PREFIX:-0}" = 1 ]; then
        echo "wine-test: kept $work" >&2
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

if [ -n "${DISPLAY:-}" ]; then
    wine "$@"
else
    xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
fi
status=$?
if [ -n "${KESTRA_AFTER_WINE:-}" ]; then
    bash "$KESTRA_AFTER_WINE" || { hook=$?; [ "$status" -ne 0 ] || status=$hook; }
fi
exit "$status"
