#!/usr/bin/env bash
# From a fresh clone: installs what is missing, builds the qorprint tool, makes the sample
# invoice database and renders the invoices-by-customer report on it into a PDF.
# usage: bash scripts/demo.sh [OUTPUT.pdf]   (default: build/invoices-by-customer.pdf)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs" --target qorprint_tool

db=examples/sample/invoices.sqlite
[ -f "$db" ] || bash examples/sample/make_sample_db.sh "$db" >/dev/null

out=${1:-build/invoices-by-customer.pdf}
# No window and no printer dialog: the report goes straight into the file.
export QORPRINT_UNATTENDED=1
pdf=$(build/tools/qorprint/qorprint report examples/reports/invoices-by-customer.json --lang en --out "$out")
echo "The report is in $pdf"
