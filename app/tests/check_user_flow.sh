#!/usr/bin/env bash
# Reads back the job that user_flow_test.cpp printed through the real program
# (kept as road.ps in KESTRA_TEST_OUTPUT): FA40-FBFE with Phonetic and Cangjie,
# 28 cells a page. Run by scripts/wine-test.sh once Wine has exited.
set -u
out=${KESTRA_TEST_OUTPUT:?}
job=$out/road.ps
[ -f "$job" ] || { echo "check_user_flow: road.ps was not kept" >&2; exit 1; }
failures=0
on_page() { # page text...
    local page=$1 text
    shift
    text=$(gs -q -sDEVICE=txtwrite -dFirstPage="$page" -dLastPage="$page" -o - "$job" | tr -d '\000')
    for want in "$@"; do
        grep -aqF -- "$want" <<<"$text" || { echo "check_user_flow: page $page lacks \"$want\"" >&2; failures=$((failures + 1)); }
    done
}
header="字型：AR PL UMing TW        外字檔案：C:\\WINDOWS\\FONTS\\EUDCRING.TTE"
on_page 1 "$header" 內碼 注音 倉頡 "FA40 ㄅㄚ　ˉ" 日月 "第 1 頁"
on_page 12 "$header" FBFE "第 12 頁"
[ "$failures" -eq 0 ] && echo "check_user_flow: all texts found"
[ "$failures" -eq 0 ]
