#!/usr/bin/env bash
# Sets up and runs every test: the plain build with warnings as errors, then the same tests built
# with AddressSanitizer and UndefinedBehaviorSanitizer, then the threaded ones with ThreadSanitizer.
# Tests that need a display run under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh

jobs=$(nproc)
run_suite() {
  local folder=$1; shift
  local filter=("$@")
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORV_WERROR=ON "${BUILD_OPTIONS[@]}"
  cmake --build "$folder" -j "$jobs"
  (cd "$folder" && xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" ctest --output-on-failure -j "$jobs" "${filter[@]}")
}

BUILD_OPTIONS=()
run_suite build/test

BUILD_OPTIONS=(-DZORV_SANITIZE=address,undefined)
NO_AT_BRIDGE=1 ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 run_suite build/asan -LE 'no-sanitize|e2e'

BUILD_OPTIONS=(-DZORV_SANITIZE=thread)
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp" run_suite build/tsan -L threaded
