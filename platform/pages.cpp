#include "platform/pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

void ReleaseReadOnlyPages(std::string_view data) {
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto at = reinterpret_cast<uintptr_t>(data.data());
    // Pages the data shares with its neighbours are left as they are.
    const uintptr_t begin = (at + page - 1) & ~(page - 1);
    const uintptr_t end = (at + data.size()) & ~(page - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

}  // namespace platform
