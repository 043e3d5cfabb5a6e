// The invoice report the report benchmarks run: 6 columns filling the portrait line, a count
// and two sums in the totals band.
#pragma once

#include <qor/clsRapport.h>

#include <string>

namespace bench {

// Starts `r` as the invoice report in output mode `mode` (3 PDF into `pdf`, 1 preview),
// portrait A4.
inline void SetUpInvoiceReport(qor::clsRapport& r, const std::string& pdf, int16_t mode = 3) {
    r.Init("", mode, 1, 1, 9, pdf);
    r.Title = "Invoices";
    r.SubTitle = "Benchmark";
    r.FootNote = "qorPrintLib";
    r.SetCol(0, 26, "Invoice", "number", qor::frmtText, 0, false, "", false, 0, 0, -1, 2);
    r.SetCol(1, 22, "Date", "date", qor::frmtText, 2);
    r.SetCol(2, 60, "Customer", "customer", qor::frmtText, 0, false, "", true);
    r.SetCol(3, 22, "City", "city", qor::frmtText, 0);
    r.SetCol(4, 25, "Excl. VAT", "amount", qor::frmtAmount2, 1, false, "", false, 0, 0, -1, 1);
    r.SetCol(5, 25, "Total", "total", qor::frmtAmount2, 1, false, "", false, 0, 0, -1, 1);
}

}  // namespace bench
