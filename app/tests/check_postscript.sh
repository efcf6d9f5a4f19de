#!/usr/bin/env bash
# Reads back, page by page with ghostscript, the print jobs that
# print_job_test.cpp kept in KESTRA_TEST_OUTPUT, and checks what is on paper:
# page count, header, headings, codes, radicals of the sample dictionaries and
# page numbers. Run by scripts/wine-test.sh once Wine has exited.
set -u
out=${KESTRA_TEST_OUTPUT:?}
failures=0

fail() {
    echo "check_postscript: $*" >&2
    failures=$((failures + 1))
}

pages() { # file count
    [ -f "$out/$1" ] || { fail "$1 was not kept"; return 1; }
    grep -aqx "%%Pages: $2" "$out/$1" || fail "$1 does not announce $2 pages"
    local n
    n=$(grep -ac '^%%Page:' "$out/$1")
    [ "$n" = "$2" ] || fail "$1 holds $n pages, not $2"
}

on_page() { # file page text...
    local file=$1 page=$2 text
    shift 2
    [ -f "$out/$file" ] || return
    text=$(gs -q -sDEVICE=txtwrite -dFirstPage="$page" -dLastPage="$page" -o - "$out/$file" | tr -d '\000')
    for want in "$@"; do
        grep -aqF -- "$want" <<<"$text" || fail "$file page $page lacks \"$want\""
    done
}

not_on_page() { # file page text...
    local file=$1 page=$2 text
    shift 2
    [ -f "$out/$file" ] || return
    text=$(gs -q -sDEVICE=txtwrite -dFirstPage="$page" -dLastPage="$page" -o - "$out/$file" | tr -d '\000')
    for unwanted in "$@"; do
        ! grep -aqF -- "$unwanted" <<<"$text" || fail "$file page $page shows \"$unwanted\""
    done
}

header=("字型：AR PL UMing TW        外字檔案：C:\\WINDOWS\\FONTS\\EUDCRING.TTE" "內碼")

# 196 cells a page: FEFE is cell 784 and 8E40 cell 785, both on page 5.
if pages plain.ps 32; then
    on_page plain.ps 1 "${header[@]}" FA40 FAFE "第 1 頁"
    not_on_page plain.ps 1 注音 倉頡 FEFE
    on_page plain.ps 5 "${header[@]}" FEFE 8E40 "第 5 頁"
    on_page plain.ps 32 "${header[@]}" C8FE "第 32 頁"
fi

# 28 cells a page, one column; radicals as make_dictionaries.py documents them.
if pages annotated.ps 223; then
    on_page annotated.ps 1 "${header[@]}" 注音 倉頡 "FA40 ㄅㄚ　ˉ" 日月 "第 1 頁"
    on_page annotated.ps 29 "FEFE ㄅㄧㄚˉ　ㄆㄧㄛˊ" ㄋㄧㄠˊ 重卜難田女 "8E40 ㄇㄨ　ˊ　ㄈㄩ　ˇ" 金木水火土
    on_page annotated.ps 135 "A0FE ㄊ　ㄜˋ" "　　竹　　" "第 135 頁"
    not_on_page annotated.ps 135 "ㄉ　ㄛ"
    on_page annotated.ps 211 "C740 ㄎ　ㄠˇ" 中一 "第 211 頁"
    not_on_page annotated.ps 211 月月
    on_page annotated.ps 223 "C8FE ㄏㄧㄡˋ" 日日日日日 "第 223 頁"
fi

[ "$failures" -eq 0 ] && echo "check_postscript: all texts found"
[ "$failures" -eq 0 ]
