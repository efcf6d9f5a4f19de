#!/usr/bin/env bash
# Builds kestra-table's Debian package as make deb does, in a folder of its
# own, checks that nothing but the tool was built and that lintian finds no
# error, and uses it as a user would: installs it with apt, runs kestra-table
# from the PATH on a test-bed font, reads its manual page, and removes the
# package again. Needs root (CI is).
#   check_deb_package.sh BUILD_DIR FONT_DIR WORK_DIR
set -uo pipefail
build=$1 fonts=$2 work=$3
source=$(cd "$(dirname "$0")/../.." && pwd)
passed=0 failed=0

check() {  # name command...
    local name=$1
    shift
    if "$@" >"$work/out" 2>&1; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $name: $(tail -c 400 "$work/out")"
    fi
}

is_pdf() { head -c 5 "$1" | grep -q '^%PDF-'; }
on_path() { command -v kestra-table >/dev/null; }
not_on_path() { ! on_path; }
manual_reads() { MANPAGER=cat man kestra-table | grep -q -- '--defined-only'; }
version_is_the_projects() {
    [ "$(kestra-table --version)" = "kestra-table $(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")" ]
}
apt() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -qq "$@"; }
no_test_built() { [ -x "$work/build/table/kestra-table" ] && ! find "$work/build" -name '*_tests' -type f | grep .; }

rm -rf "$work"
mkdir -p "$work"
if [ "$(id -u)" -ne 0 ]; then
    echo "deb_package: installing a package needs root: 0 passed, 1 failed"
    exit 1
fi
check "no kestra-table on the PATH before" not_on_path
make -C "$source" deb DEB_BUILD="$work/build" DEB_DIST="$work/dist" >"$work/make.log" 2>&1
package=$(ls "$work"/dist/kestra-table_*.deb 2>/dev/null | head -1)
check "make deb makes the package" test -f "$package"
check "make deb builds the tool, no test" no_test_built
check "lintian finds no error" lintian --fail-on error "$package"
check "it depends on the label font" sh -c "dpkg-deb -f '$package' Depends | grep -q fonts-arphic-uming"
check "it recommends the reference fonts" sh -c "dpkg-deb -f '$package' Recommends |
    grep -qx 'fonts-cns11643-sung, fonts-hanazono, fonts-babelstone-han'"
check "apt installs it" apt install "$package"
check "kestra-table on the PATH" on_path
check "a table from the PATH" sh -c "cd '$work' && kestra-table '$fonts/EUDC.TTE' -o '$work/t.pdf'"
check "the table is a PDF" is_pdf "$work/t.pdf"
check "--version is the project's" version_is_the_projects
check "man kestra-table" manual_reads
check "apt removes it" apt remove kestra-table
check "no kestra-table on the PATH after" not_on_path
echo "deb_package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
