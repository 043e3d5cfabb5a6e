#!/usr/bin/env bash
# usage: install_check.sh BUILD_DIR. Installs the build into two prefixes; for each, builds and
# runs a small client with nothing but what pkg-config says, then runs the installed qorprint.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/client.cpp" <<'CPP'
#include <qor/qorPrintLib.h>
#include <cstdio>
int main(int, char** argv) {
    qor::MemoryRecordset rows({"n"}, {{1}, {2}});
    rows.MoveNext();
    // A PNG page needs the window part, which the library opens from its own folder.
    qor::VSPrinter page;
    page.StartDoc();
    page.Text("x");
    page.EndDoc();
    page.SavePagePng(1, argv[1], 20);
    std::printf("%s %d\n", qor::RuntimeErrorText(qor::kErrTypeMismatch).c_str(), rows.Value(0).ToLong());
    return 0;
}
CPP
for prefix in "$work/one" "$work/elsewhere/usr"; do
    cmake --install "$build" --prefix "$prefix" >/dev/null
    pc=$(dirname "$(find "$prefix" -name qorprint.pc)")
    flags=$(PKG_CONFIG_PATH="$pc" pkg-config --cflags --libs qorprint)
    case "$flags" in *"$prefix"*) ;; *) echo "pkg-config names another prefix: $flags"; exit 1 ;; esac
    # shellcheck disable=SC2086  # the flags are separate words
    c++ -o "$work/client" "$work/client.cpp" $flags
    out=$(LD_LIBRARY_PATH="$pc/.." QT_QPA_PLATFORM=offscreen "$work/client" "$work/page.png")
    [ "$out" = "Type mismatch 2" ] || { echo "client printed: $out"; exit 1; }
    [ -s "$work/page.png" ] || { echo "the client wrote no PNG page"; exit 1; }
    rm -f "$work/page.png"
    QORPRINT_UNATTENDED=1 "$prefix/bin/qorprint" --help >/dev/null || { echo "installed qorprint does not run"; exit 1; }
done
echo "pkg-config, client (with the window part) and qorprint work from both prefixes"
