// What the report and its reference peers share: the measurement and the page layout the
// peers draw by hand (the report's own layout: A4 portrait, 5 mm offset, 4 mm lines).
#pragma once

#include "support/Invoices.h"

#include <sqlite3.h>

#include <string>

namespace reportpdf {

struct Measure {
    double seconds = 0;
    double readSeconds = 0;  // reading every cell's text from SQLite, nothing drawn
    int pages = 0;
    double peakMb = 0;
    double fileBytes = 0;
};

// Millimetres from the paper's left and top edge: the report's frame starts 10 mm in, and
// every coordinate is shifted by the printer offset of 5 mm.
inline constexpr double kOffsetMm = 5;
inline constexpr double kColX[] = {10, 36, 58, 118, 140, 165, 190};
inline constexpr int kAlign[] = {0, 2, 0, 0, 1, 1};  // 0 left, 1 right, 2 centre
inline constexpr const char* kCaptions[] = {"INVOICE", "DATE", "CUSTOMER", "CITY", "EXCL. VAT", "TOTAL"};
inline constexpr double kFirstLineMm = 30.4, kLineMm = 4, kFrameBottomMm = 274;

// Where the text of column `c` is anchored: its left edge, right edge or middle.
inline double CellX(int c) {
    return kAlign[c] == 0 ? kColX[c] + 1 : kAlign[c] == 1 ? kColX[c + 1] - 1 : (kColX[c] + kColX[c + 1]) / 2;
}

struct Totals {
    int count = 0;
    double amount = 0, total = 0;
};

// Steps through the invoices of `db` as the report places them: `frame()` starts every page,
// `row(statement, y)` draws one record at y mm; after the last record a new page is started
// when the totals band would not fit. Returns the count and the sums of the two amounts.
template <typename Frame, typename Row>
Totals WalkInvoices(const std::string& db, Frame frame, Row row) {
    Totals t;
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, bench::kInvoiceQuery, -1, &st, nullptr);
    double y = kFirstLineMm;
    frame();
    while (sqlite3_step(st) == SQLITE_ROW) {
        row(st, y);
        ++t.count;
        t.amount += sqlite3_column_double(st, 4);
        t.total += sqlite3_column_double(st, 5);
        y += kLineMm;
        if (y >= kFrameBottomMm) {
            frame();
            y = kFirstLineMm;
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    if (y + kLineMm > kFrameBottomMm) frame();
    return t;
}

// The same page content drawn with cairo and pango into a cairo PDF surface.
Measure RunCairoReference(const std::string& db, const std::string& pdf);

}  // namespace reportpdf
