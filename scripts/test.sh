#!/usr/bin/env bash
# Builds Flickerdeck with its tests and runs them twice: a plain build in build/ and an
# AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/.
# BUILD_DIR and ASAN_BUILD_DIR choose other folders; JOBS (at most 2 here) sets the build's
# parallelism, TEST_JOBS the tests'.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
asan_build=$(realpath -m "${ASAN_BUILD_DIR:-$root/build-asan}")
jobs=${JOBS:-2}
# The end-to-end tests spend most of their time waiting for pictures and timers: three at a time
# keep two cores busy.
test_jobs=${TEST_JOBS:-3}

bash "$root/scripts/install-deps.sh"

# The tests pick their own platform and start their own X servers: nothing of the caller's
# desktop may leak in.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

failed=()

section() { printf '\n==== [%ss] %s ====\n' "$SECONDS" "$*"; }

build_and_test() {
    local name=$1 folder=$2 type=$3
    shift 3
    section "$name: configure and build in $folder"
    # One compiler run per batch of files instead of per file: the Qt headers dominate, and the
    # build takes about half the time.
    cmake -S "$root" -B "$folder" -DCMAKE_BUILD_TYPE="$type" -DFDK_BUILD_TESTS=ON \
        -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16 "$@"
    cmake --build "$folder" -j"$jobs"
    section "$name: ctest"
    if ! ctest --test-dir "$folder" --output-on-failure --no-tests=error -j"$test_jobs"; then
        failed+=("$name")
    fi
}

build_and_test plain "$build" RelWithDebInfo -DFDK_SANITIZE=OFF

# Stop at the first error with a full stack, and check for leaks when each test process exits.
# The suppressions cover leaks inside third-party libraries only.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0
# Unoptimised: it compiles in nearly a third less time, and the tests wait on clips and X rather
# than compute, so they take no longer.
build_and_test sanitizers "$asan_build" Debug -DFDK_SANITIZE=ON

if ((${#failed[@]})); then
    section "FAILED: ${failed[*]}"
    exit 1
fi
section "all tests passed (plain and sanitizers)"
