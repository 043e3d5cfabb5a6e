#include "core/PreviewHost.h"

#include <atomic>

namespace qor {

namespace {
std::atomic<PreviewHost*> gPreviewHost{nullptr};
}  // namespace

void RegisterPreviewHost(PreviewHost* host) { gPreviewHost.store(host, std::memory_order_release); }

PreviewHost* CurrentPreviewHost() { return gPreviewHost.load(std::memory_order_acquire); }

}  // namespace qor
