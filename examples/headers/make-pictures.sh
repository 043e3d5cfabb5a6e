#!/usr/bin/env bash
# Regenerates the pictures of the sample Headers folder (examples/headers/Headers) from
# make_pictures.cpp. Needs g++ and Qt 6 (qt6-base-dev), as the library's build does.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
g++ -std=c++20 -fPIC -O1 "$here/make_pictures.cpp" -o "$tmp/make_pictures" $(pkg-config --cflags --libs Qt6Gui)
"$tmp/make_pictures" "$here/Headers"
ls -l "$here/Headers"
