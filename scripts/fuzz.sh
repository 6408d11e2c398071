#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets of fuzz/ with clang's libFuzzer, AddressSanitizer and UBSan into
# build-fuzz, then runs each one for the given number of seconds (default 60) on a copy of its
# seed inputs in fuzz/corpus/. Fails when a target finds an input that crashes it, trips a
# sanitizer or breaks one of its invariants; that input is kept in build-fuzz/findings/<target>/.
#
#   scripts/fuzz.sh [seconds] [libFuzzer options...]
#
# 0 seconds means no time limit, for a fixed count of inputs: scripts/fuzz.sh 0 -runs=1000000.
# FUZZ_TARGETS="fuzz_cellchecks ..." runs only those targets.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
if [[ ! "$seconds" =~ ^[0-9]+$ ]]; then
    echo "usage: scripts/fuzz.sh [seconds per target] [libFuzzer options...]" >&2
    exit 2
fi
shift $(($# > 0 ? 1 : 0))
# Every target fuzz/CMakeLists.txt lists, unless told otherwise.
listed=$(sed -n '/^set(writefreq_fuzzers/,/^)/s/^ *\(fuzz_[a-z0-9_]*\) *$/\1/p' fuzz/CMakeLists.txt)
targets=(${FUZZ_TARGETS:-$listed})

# The readers of files the user picks.
if [[ -z "${FUZZ_TARGETS:-}" ]]; then
    targets+=(fuzz_datafile)
fi

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: clang++ with its libFuzzer runtime is needed (Debian: clang libclang-rt-dev)" >&2
    exit 1
fi
scripts/setup.sh

generator=()
if command -v ninja >/dev/null 2>&1 && [[ ! -f build-fuzz/CMakeCache.txt ]]; then
    generator=(-G Ninja)
fi
cmake -S . -B build-fuzz "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ -DWRITEFREQ_FUZZ=ON \
    >/dev/null
cmake --build build-fuzz --target "${targets[@]}"

# Any report is a finding: stop at the first one, with the stack that led there.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

failed=()
for target in "${targets[@]}"; do
    # The fuzzer adds what it learns to its corpus directory; the seeds in the tree stay as they are.
    work="build-fuzz/corpus/$target"
    findings="build-fuzz/findings/$target"
    rm -rf "$work"
    mkdir -p "$work" "$findings"
    cp fuzz/corpus/"$target"/* "$work"/
    dictionary=()
    if [[ -f fuzz/"$target".dict ]]; then
        dictionary=(-dict=fuzz/"$target".dict)
    fi
    echo "fuzz: $target for ${seconds}s"
    if ! build-fuzz/fuzz/"$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$findings/" "${dictionary[@]}" "$@" "$work"; then
        failed+=("$target")
    fi
done

if ((${#failed[@]} > 0)); then
    echo "fuzz: findings in ${failed[*]}; the inputs are in build-fuzz/findings/" >&2
    exit 1
fi
echo "fuzz: no findings in ${targets[*]}"
