#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan and runs
# every test there. Any report fails the run: the process that made it stops at once. UBSan
# reports appear in the output of their test; AddressSanitizer and leak reports, also from the
# virtual radios the tests start, are kept in build-asan/sanitizer-reports/ and printed at the
# end. Leaks of system libraries that are not ours are listed in scripts/lsan-suppressions.txt.
#
#   scripts/sanitize.sh [ctest options...]      e.g. scripts/sanitize.sh -R tst_mainblocks
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

generator=()
if command -v ninja >/dev/null 2>&1 && [[ ! -f build-asan/CMakeCache.txt ]]; then
    generator=(-G Ninja)
fi
cmake -S . -B build-asan "${generator[@]}" -DWRITEFREQ_SANITIZE=ON >/dev/null
cmake --build build-asan --parallel "$(nproc 2>/dev/null || echo 2)"

reports="$PWD/build-asan/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:log_path=$reports/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"

status=0
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure --parallel 2 "$@" ||
    status=$?
if compgen -G "$reports/*" >/dev/null; then
    for report in "$reports"/*; do
        echo "==== $report" >&2
        cat "$report" >&2
    done
    echo "sanitize: reports in build-asan/sanitizer-reports/" >&2
    status=1
fi
exit "$status"
