// libFuzzer entry: the first bytes choose the document's page count and the paper bins, the
// rest is the page range as typed in the preview's range box. The range goes the way a print
// request takes it: PlanPrintJobs splits it into jobs, and the spooler checks each job's page
// list with NormalizePageRanges before it becomes the job's "page-ranges" option. Only
// qor::RuntimeError(5) may be thrown; a list that passes has no blanks and only digits,
// '-' and ','.

#include "core/PrintJobs.h"
#include "surface/SpoolerCups.h"

#include <qor/RuntimeError.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int32_t pageCount = 1 + data[0] % 40;
    const int32_t firstBin = data[1] % 16;
    const int32_t secondBin = data[2] % 4 == 0 ? 0 : data[2] % 16;
    const std::string range(reinterpret_cast<const char*>(data + 3), size - 3);

    const std::vector<qor::PrintJob> jobs = qor::PlanPrintJobs(range, pageCount, firstBin, secondBin, 2);
    if (jobs.empty() || jobs.size() > 2) std::abort();
    for (const qor::PrintJob& job : jobs) {
        if (job.Copies != 2) std::abort();
        if (job.FromPage > 0) {
            if (job.ToPage < job.FromPage || !job.Pages.empty()) std::abort();
            continue;
        }
        try {
            const std::string list = qor::spooler::NormalizePageRanges(job.Pages);
            if (list.find_first_not_of("0123456789-,") != std::string::npos) std::abort();
            if (!list.empty() && (list.front() == ',' || list.back() == ',')) std::abort();
        } catch (const qor::RuntimeError& e) {
            if (e.Number() != qor::kErrInvalidCall) std::abort();
        }
    }
    return 0;
}
