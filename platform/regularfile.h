#pragma once
// Reading a file that must be a plain file of bounded size: opened without blocking (a named
// pipe in its place must not hang the program), and refused when it is a directory, a
// device or any other special file, or larger than the caller can use.
#include <cstddef>
#include <string>

namespace platform {

struct RegularFileRead {
    enum Status { Loaded, Missing, CannotOpen, Directory, NotRegular, TooLarge, ReadFailed };
    Status status = Missing;
    int error = 0;      // errno of CannotOpen and ReadFailed
    std::string bytes;  // Loaded: the whole file
};

// Follows symbolic links; a dangling one counts as Missing.
RegularFileRead ReadRegularFile(const std::string& path, std::size_t capacity);

}  // namespace platform
