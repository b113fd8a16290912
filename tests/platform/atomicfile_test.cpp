#include "platform/atomicfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "scratch.h"

namespace platform {
namespace {

using testing_scratch::ReadAll;
using testing_scratch::TempDir;

size_t EntriesIn(const std::string& dir) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(AtomicFile, ReplacesContentAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir / "IP.LOG";
    WriteFileAtomically(path, std::string_view("first\r\n\0binary", 15));
    EXPECT_EQ(ReadAll(path), std::string("first\r\n\0binary", 15));
    WriteFileAtomically(path, "");
    EXPECT_EQ(ReadAll(path), "");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(AtomicFile, KeepsThePermissionsOfTheOldFile) {
    TempDir dir;
    const std::string path = dir / "f";
    WriteFileAtomically(path, "a");
    ::chmod(path.c_str(), 0640);
    WriteFileAtomically(path, "b");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicFile, FailureThrowsAndKeepsTheOldFile) {
    TempDir dir;
    std::filesystem::create_directory(dir / "target");
    WriteFileAtomically(dir / "target/inner", "keep");
    // Renaming a file over a non-empty directory fails after the temporary file was written.
    EXPECT_THROW(WriteFileAtomically(dir / "target", "new"), FileWriteError);
    EXPECT_EQ(ReadAll(dir / "target/inner"), "keep");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
    EXPECT_THROW(WriteFileAtomically(dir / "missing/f", "x"), FileWriteError);
}

}  // namespace
}  // namespace platform
