#pragma once
// Where a file that the program reads and writes for its user really is, once its symbolic
// links are followed, and whether anybody else could steer it elsewhere. A link is followed
// only when the link and every folder on the way belong to the running user or to root, and
// no folder on the way may be written by others (a sticky one, like /tmp, keeps others'
// hands off what is not theirs and counts as closed). Otherwise the file is not to be used:
// another user could point a root run's writes at any file, or feed its reads.
#include <string>

namespace platform {

struct OwnedPath {
    // The file with every link resolved; when the walk stopped at a missing folder, the
    // rest of the path follows it unchanged (it would be made below a folder of ours).
    std::string path;
    // Why the file must not be used, in words that follow its name ("lies in /x, a folder
    // another user owns"); empty when it may be.
    std::string problem;
};

OwnedPath ResolveOwnedPath(const std::string& path);

}  // namespace platform
