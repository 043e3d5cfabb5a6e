// Which print jobs a print request becomes: page range, first page from another bin than
// the rest, copies. Pure: the caller sends the jobs to the surface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qor {

// One PrintDoc call: the pages, and the bin and copies the surface must have for it.
struct PrintJob {
    // A page span when FromPage > 0 (FromPage to ToPage); otherwise the page list
    // `Pages` in the range syntax ("2-5", "2,4", "2-"), where "" means every page.
    int32_t FromPage = 0;
    int32_t ToPage = 0;
    std::string Pages;
    int32_t Bin = 0;
    int32_t Copies = 1;

    bool operator==(const PrintJob&) const = default;
};

// The jobs that print `range` (the text of the range box, "" or blanks for every page) of a
// document of `pageCount` pages with `copies` copies each.
//
// With `secondBin` 0 every page comes from `firstBin`: one job of all pages, of the single
// page the range names ("7" prints 7 to 7), or of the range text as a page list.
// Otherwise page 1 comes from `firstBin` and the other pages from `secondBin`:
//   - empty range: page 1, then 2 to the last page (one job of all pages for a single page);
//   - exactly "1": page 1 only;
//   - beginning with "1-": page 1, then "2-" and the rest ("1-5": page 1, then "2-5");
//   - beginning with "1,": page 1, then the rest ("1,3,5": page 1, then "3,5");
//   - any other range (also "12" or "10-12"): one job from `secondBin`.
// The "1", "1-" and "1," tests look at the range as typed; only the emptiness test ignores
// blanks. A single page number is the plain decimal form of a whole number ("12", not
// "012", " 7" or "1-5"). What remains after page 1 always goes as a page list; parts of it
// that hold no page are left out ("1-1" gives "2-1", "1," gives ""), and when nothing
// remains there is no second job: the user gets exactly page 1.
std::vector<PrintJob> PlanPrintJobs(const std::string& range, int32_t pageCount,
                                    int32_t firstBin, int32_t secondBin, int32_t copies);

}  // namespace qor
