#!/usr/bin/env bash
# Makes the sample invoice database from invoices.sql (fixed seeds: the same rows every run).
# usage: make_sample_db.sh [OUTPUT.sqlite]   (default: examples/sample/invoices.sqlite)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:-$here/invoices.sqlite}
command -v sqlite3 >/dev/null || { echo "make_sample_db: sqlite3 is missing (apt-get install sqlite3)" >&2; exit 1; }
tmp="$out.tmp.$$"
trap 'rm -f "$tmp"' EXIT
rm -f "$tmp"
sqlite3 -bail "$tmp" < "$here/invoices.sql" >/dev/null
mv -f "$tmp" "$out"
trap - EXIT
echo "$out"
