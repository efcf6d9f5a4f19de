#!/usr/bin/env bash
# Reads back the jobs that user_flow_test.cpp printed through the real
# program, kept in KESTRA_TEST_OUTPUT: FA40-FBFE with Phonetic and Cangjie, 28
# cells a page, once in the standard EUDC font (road.ps) and once in a face
# (first.ps, the demo's flow). Run by scripts/wine-test.sh once Wine has exited.
set -u
out=${KESTRA_TEST_OUTPUT:?}
failures=0
on_page() { # job page text...
    local job=$out/$1 page=$2 text
    shift 2
    [ -f "$job" ] || { echo "check_user_flow: $(basename "$job") was not kept" >&2; failures=$((failures + 1)); return; }
    text=$(gs -q -sDEVICE=txtwrite -dFirstPage="$page" -dLastPage="$page" -o - "$job" | tr -d '\000')
    for want in "$@"; do
        grep -aqF -- "$want" <<<"$text" || { echo "check_user_flow: $(basename "$job") page $page lacks \"$want\"" >&2; failures=$((failures + 1)); }
    done
}
face="字型：AR PL UMing TW        外字檔案：C:\\WINDOWS\\FONTS\\EUDCRING.TTE"
on_page first.ps 1 "$face" 內碼 注音 倉頡 "FA40 ㄅㄚ　ˉ" 日月 "第 1 頁"
on_page first.ps 12 "$face" FBFE "第 12 頁"
standard="字型：標準造字        外字檔案：C:\\WINDOWS\\FONTS\\EUDC.TTE"
on_page road.ps 1 "$standard" 內碼 注音 倉頡 "FA40 ㄅㄚ　ˉ" 日月 "第 1 頁"
on_page road.ps 12 "$standard" FBFE "第 12 頁"
[ "$failures" -eq 0 ] && echo "check_user_flow: all texts found"
[ "$failures" -eq 0 ]
