// The printing-progress window of the surface, shown by a higher layer: the surface asks for
// one when it prints with AbortWindow on and reports each page to it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qor::surface {

class PrintProgress {
public:
    virtual ~PrintProgress() = default;
    // Page `page` of `pages` is about to be prepared for the printer. False: the user
    // cancelled.
    virtual bool Page(int32_t page, int32_t pages) = 0;
    // The document is on its way to the spooler. False: the user cancelled.
    virtual bool Sending() = 0;
};

// Makes the window for a document of `pages` pages going to `printer` through `port` (the
// queue's device); nullptr when no window may be shown here.
using PrintProgressFactory = std::unique_ptr<PrintProgress> (*)(const std::string& printer,
                                                                const std::string& port, int32_t pages);

// Registers the factory for the whole process (nullptr removes it).
void SetPrintProgressFactory(PrintProgressFactory factory);
// A progress window for a print of `pages` pages on `printer`, or nullptr when none is
// registered or shown.
std::unique_ptr<PrintProgress> StartPrintProgress(const std::string& printer, int32_t pages);

}  // namespace qor::surface
