#include "core/ExcelExportHost.h"

#include <atomic>

namespace qor {

namespace {
std::atomic<ExcelExportHost*> gExcelExportHost{nullptr};
}  // namespace

void RegisterExcelExportHost(ExcelExportHost* host) {
    gExcelExportHost.store(host, std::memory_order_release);
}

ExcelExportHost* CurrentExcelExportHost() { return gExcelExportHost.load(std::memory_order_acquire); }

}  // namespace qor
