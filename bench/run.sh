#!/usr/bin/env bash
# Builds and runs the report, start-up and preview benchmarks and prints their tables
# (markdown on standard output, progress on standard error).
# usage: bash bench/run.sh [--build DIR] [--rounds N] [--quick]
#   --build DIR   build folder (default: build; configured RelWithDebInfo when absent)
#   --rounds N    interleaved rounds of the report benchmark (default 5)
#   --quick       10,000 invoices only, 3 rounds, fewer runs: a check, not a measurement
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=build rounds=5 quick=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --quick) quick=1; shift ;;
    *) echo "usage: bash bench/run.sh [--build DIR] [--rounds N] [--quick]" >&2; exit 2 ;;
  esac
done
cd "$here"
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if ! log=$(cmake --build "$build" -j 2 --target bench_report_pdf bench_startup bench_preview_paint 2>&1); then
  echo "$log" >&2
  exit 1
fi

export QT_QPA_PLATFORM=offscreen
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load average $(cut -d' ' -f1-3 /proc/loadavg) at start"
if [ "$quick" = 1 ]; then
  "$build/bench/report_pdf/bench_report_pdf" --rounds 3 10000
  "$build/bench/startup/bench_startup" --runs 5 --documents 20
  "$build/bench/preview_paint/bench_preview_paint" --records 10000
else
  "$build/bench/report_pdf/bench_report_pdf" --rounds "$rounds" 10000 100000
  "$build/bench/startup/bench_startup" --runs 15 --documents 100
  "$build/bench/preview_paint/bench_preview_paint" --records 100000
fi
echo
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
