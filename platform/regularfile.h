#pragma once
// Reading a file that must be a plain file of bounded size: opened without blocking (a named
// pipe in its place must not hang the program), and refused when it is a directory, a
// device or any other special file, or larger than the caller can use.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

struct RegularFileRead {
    enum Status { Loaded, Missing, CannotOpen, Directory, NotRegular, TooLarge, ReadFailed };
    Status status = Missing;
    int error = 0;              // errno of CannotOpen and ReadFailed
    std::string bytes;          // Loaded: the whole file, or its end for ReadRegularFileEnd
    std::uint64_t skipped = 0;  // ReadRegularFileEnd: the bytes before those
};

// Follows symbolic links; a dangling one counts as Missing.
RegularFileRead ReadRegularFile(const std::string& path, std::size_t capacity);

// The last most bytes of the file, however large it is. Does not follow a link in the last
// place of the path: the caller has resolved it (a link found there counts as CannotOpen).
RegularFileRead ReadRegularFileEnd(const std::string& path, std::size_t most);

}  // namespace platform
