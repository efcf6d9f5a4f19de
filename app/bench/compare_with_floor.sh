#!/usr/bin/env bash
# Run by scripts/wine-test.sh once the printing benchmark has exited. A ratio
# against the floor means something only if both printed the same pages: the
# first job of each kind from the program and from the floor are read back
# page by page with ghostscript and their texts compared, and the PostScript
# itself is compared apart from the document's title.
set -u
out=${KESTRA_TEST_OUTPUT:?}
status=0

page_texts() { # job.ps folder
    mkdir -p "$2"
    gs -q -sDEVICE=txtwrite -o "$2/%03d.txt" "$1" >/dev/null 2>&1
    ls "$2" | wc -l
}

for job in plain annotated; do
    program=$out/program-$job.ps
    floor=$out/floor-$job.ps
    if [ ! -s "$program" ] || [ ! -s "$floor" ]; then
        echo "same pages, $job: a job was not kept (FAILED)"
        status=1
        continue
    fi
    program_pages=$(page_texts "$program" "$out/text-$job-program")
    floor_pages=$(page_texts "$floor" "$out/text-$job-floor")
    differing=$(diff -rq "$out/text-$job-program" "$out/text-$job-floor" | wc -l)
    postscript=different
    if cmp -s <(grep -av '^%%Title:' "$program") <(grep -av '^%%Title:' "$floor"); then
        postscript=identical
    fi
    verdict=met
    if [ "$program_pages" -eq 0 ] || [ "$program_pages" != "$floor_pages" ] || [ "$differing" != 0 ]; then
        verdict=FAILED
        status=1
    fi
    echo "same pages, $job: program $program_pages, floor $floor_pages, pages whose text" \
        "differs $differing, PostScript apart from the title $postscript ($verdict)"
done
exit $status
