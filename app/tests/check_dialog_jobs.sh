#!/usr/bin/env bash
# Reads back, page by page with ghostscript, the jobs that print_dialogs_test.cpp
# kept in KESTRA_TEST_OUTPUT: the page range printed only pages 2 and 3, and the
# file chosen for "print to file" holds the whole job. Run by
# scripts/wine-test.sh once Wine has exited.
set -u
out=${KESTRA_TEST_OUTPUT:?}
failures=0

fail() {
    echo "check_dialog_jobs: $*" >&2
    failures=$((failures + 1))
}

page_shows() { # file page wanted [unwanted]
    local text
    [ -f "$out/$1" ] || { fail "$1 was not kept"; return; }
    text=$(gs -q -sDEVICE=txtwrite -dFirstPage="$2" -dLastPage="$2" -o - "$out/$1" | tr -d '\000')
    grep -aqF -- "$3" <<<"$text" || fail "$1 page $2 lacks \"$3\""
    [ -z "${4:-}" ] || ! grep -aqF -- "$4" <<<"$text" || fail "$1 page $2 shows \"$4\""
}

# 196 cells a page: page 2 begins with FB67, page 3 with FCB0; 600 cells end at FDE2.
page_shows pages2to3.ps 1 "第 2 頁" "第 1 頁"
page_shows pages2to3.ps 1 FB67 FA40
page_shows pages2to3.ps 2 "第 3 頁"
page_shows pages2to3.ps 2 FCB0
page_shows tofile.prn 1 "第 1 頁"
page_shows tofile.prn 1 FA40
page_shows tofile.prn 4 "第 4 頁"
page_shows tofile.prn 4 FDE2 FDE3

[ "$failures" -eq 0 ] && echo "check_dialog_jobs: all texts found"
[ "$failures" -eq 0 ]
