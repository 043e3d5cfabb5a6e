// libcups is opened the first time the spooler needs it: in a process where it cannot be
// loaded, the spooler raises error 48 naming the file, and documents are still written as
// PDF. Its own program, because a failed load is remembered for the whole process.
#include <gtest/gtest.h>

#include <cstdlib>

#include <qor/Spooler.h>
#include <qor/VSPDF.h>
#include <qor/VSPrinter.h>

#include "support/Errors.h"
#include "support/Files.h"
#include "support/Pdf.h"

namespace qor {
namespace {

TEST(SpoolerWithoutLibcups, PrinterCallsRaise48AndPdfsAreStillWritten) {
    test::TempDir dir;
    const std::string missing = dir.File("libcups.so.2");
    setenv("QORPRINT_LIBCUPS", missing.c_str(), 1);

    VSPrinter p;
    p.StartDoc();
    p.Text("written without libcups");
    p.EndDoc();
    const std::string pdf = dir.File("doc.pdf");
    VSPDF().ConvertDocument(p, pdf);
    EXPECT_EQ(test::PdfText(pdf), "written without libcups\n\f");

    // The page surface sees no printers, so documents for a file are still made.
    EXPECT_EQ(p.NDevices(), 0);
    p.Device("");
    EXPECT_EQ(p.Error(), kErrPrinter);

    Spooler& spooler = Spooler::Instance();
    // A blank printer name names no printer: answered without the server, so without libcups.
    EXPECT_FALSE(spooler.AcceptsBin("", 15));
    EXPECT_FALSE(spooler.AcceptsCopies(" ", 1));
    const std::string listing = test::ExpectRuntimeError(kErrLoadingLibrary, [&] { spooler.Printers(); });
    EXPECT_NE(listing.find(missing), std::string::npos) << listing;
    EXPECT_EQ(test::ExpectRuntimeError(kErrLoadingLibrary, [&] { spooler.Submit("PrinterA", pdf, JobOptions{}); }),
              listing);
    unsetenv("QORPRINT_LIBCUPS");
}

}  // namespace
}  // namespace qor
