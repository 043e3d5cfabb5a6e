#!/usr/bin/env bash
# Builds the project three times and runs tests in each: a normal build and an ASan+UBSan
# build with the whole test suite, then a ThreadSanitizer build with only the thread tests
# (tests/threads, CTest label "threads"). Installs missing packages first. Run from anywhere.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

bash scripts/setup.sh --tests

jobs=$(nproc 2>/dev/null || echo 2)
# Headless by default: Qt tests use the offscreen platform unless a display is set.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
fi

# The private CUPS test spooler serves every test that prints.
if [ -x scripts/test-spooler.sh ]; then
  spooler_env=$(scripts/test-spooler.sh start)
  trap 'scripts/test-spooler.sh stop || true' EXIT
  # shellcheck disable=SC1090
  . "$spooler_env"
fi

# The private PostgreSQL server serves the ODBC tests.
if [ -x scripts/test-db.sh ]; then
  db_env=$(scripts/test-db.sh start)
  trap 'scripts/test-db.sh stop || true; scripts/test-spooler.sh stop || true' EXIT
  # shellcheck disable=SC1090
  . "$db_env"
fi

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQOR_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 600)
}

echo "== normal build =="
run_suite build
echo "== ASan+UBSan build =="
# The same -O2 code as the normal build, with line tables only (-g1): the reports keep their
# file and line, and the sanitized build compiles about 15 % faster than with -g. The sample
# programs, which no test runs, are left out.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$here/scripts/lsan.supp:print_suppressions=0 \
  run_suite build-asan -DQOR_SANITIZE=ON -DQOR_BUILD_BENCH=OFF -DQOR_BUILD_EXAMPLES=OFF \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
echo "== ThreadSanitizer build (thread tests only) =="
# Only the thread test program and the libraries it links: no other test folders, benchmarks,
# Python module, examples or tools. -O1 with line tables only (-g1) takes about three quarters of
# the compile time of -O2 -g and still gives ThreadSanitizer's reports their file and line.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQOR_WERROR=ON -DQOR_TSAN=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DQOR_BUILD_BENCH=OFF -DQOR_PYTHON=OFF \
  -DQOR_BUILD_EXAMPLES=OFF -DQOR_TEST_FOLDERS=threads >/dev/null
cmake --build build-tsan -j "$jobs" --target threads_tests
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --output-on-failure -L threads --timeout 600)
