// Pages of a read-only file mapping given back: only those wholly inside the data go, and the
// data reads the same afterwards.
#include "platform/pages.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/platform/scratch.h"

namespace {

// The resident kilobytes of the mapping that starts at `at`, from /proc/self/smaps.
long ResidentKb(const void* at) {
    std::ifstream smaps("/proc/self/smaps");
    std::ostringstream start;
    start << std::hex << reinterpret_cast<uintptr_t>(at) << "-";
    bool in = false;
    for (std::string line; std::getline(smaps, line);) {
        if (line.find('-') != std::string::npos && line.find(' ') > line.find('-'))
            in = line.rfind(start.str(), 0) == 0;
        if (in && line.rfind("Rss:", 0) == 0) return std::stol(line.substr(4));
    }
    return -1;
}

TEST(ReadOnlyPages, OnlyWholePagesInsideTheDataLeaveAndItReadsTheSame) {
    const long page = sysconf(_SC_PAGESIZE);
    testing_scratch::TempDir dir;
    const std::string file = dir.path() + "/data";
    std::string content(4 * page, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 13);
    std::ofstream(file, std::ios::binary) << content;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    void* map = ::mmap(nullptr, content.size(), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    ASSERT_NE(map, MAP_FAILED);
    const std::string_view mapped(static_cast<const char*>(map), content.size());
    ASSERT_EQ(mapped, content);  // every page read in
    ASSERT_EQ(ResidentKb(map), 4 * page / 1024);

    // From inside the first page to inside the last: the two pages between go.
    platform::ReleaseReadOnlyPages(mapped.substr(100, 3 * page));
    EXPECT_EQ(ResidentKb(map), 2 * page / 1024);
    EXPECT_EQ(mapped, content);
    ::munmap(map, content.size());
}

}  // namespace
