#!/usr/bin/env bash
# Points the test-bed printer of a stopped prefix copy at its own output file,
# so jobs of different copies never land in the same place.
#   point-printer.sh PREFIX_DIR OUTPUT_FILE
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: point-printer.sh PREFIX_DIR OUTPUT_FILE" >&2; exit 2; }
prefix=$1
output=$2
# The port is written as a plain registry string: no quotes or backslashes.
case "$output" in
    /*) ;;
    *) echo "point-printer: $output is not an absolute path" >&2; exit 2 ;;
esac
case "$output" in
    *[\"\\#]*) echo "point-printer: $output has a character the registry file would need escaped" >&2; exit 2 ;;
esac
# Must match kPlaceholderPort in testbed/setup/bed_layout.h.
placeholder=/tmp/kestra-testbed-unset/printer.ps
grep -q "$placeholder" "$prefix/system.reg" || { echo "point-printer: no test-bed printer in $prefix" >&2; exit 1; }
sed -i "s#$placeholder#$output#g" "$prefix/system.reg" "$prefix/user.reg"
