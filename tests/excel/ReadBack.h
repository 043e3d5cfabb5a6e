// Reading a written workbook back with openpyxl.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "support/Process.h"

namespace qor::test {

// Reads `path` with openpyxl and prints one line per expression of `lines` (Python
// expressions over `ws`, the sheet with formulas, and `wv`, the sheet with stored values).
inline std::string ReadBack(const std::string& path, const std::string& lines) {
    const std::string script =
        "import sys, openpyxl\n"
        "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
        "wv = openpyxl.load_workbook(sys.argv[1], data_only=True).active\n"
        "for e in sys.argv[2].split(';'): print(repr(eval(e)))\n";
    int status = 0;
    std::string out = Shell("/usr/bin/python3 -c " + Quote(script) + " " + Quote(path) + " " + Quote(lines), &status);
    EXPECT_EQ(status, 0) << out;
    return out;
}

}  // namespace qor::test
