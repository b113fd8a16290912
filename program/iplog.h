#pragma once
// The IP log file: records of five CR LF-ended lines, appended to a file whose bytes are
// otherwise the user's and never rewritten. Window-free, so its rules are tested without a
// display.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace app {

inline constexpr const char* kLogFileBaseName = "IP.LOG";

// Where IP.LOG lies: beside the program (the directory of the running executable, whatever
// the working directory), or in the per-user data directory when that one is not writable.
std::string LogFileName();
// Tests put the "program directory" elsewhere; empty restores the real one.
void SetProgramDirOverride(const std::string& dir);

// Lone CR or LF become CR LF; every other byte is kept as it is.
std::string NormaliseLineBreaks(std::string_view bytes);

// One record, each line ended by CR LF: the time, the date, the IP text as shown, the host
// name as shown, an empty line.
std::string LogRecord(const std::string& time, const std::string& date,
                      const std::string& ipCaption, const std::string& hostCaption);

// The most of a log the window shows: a huge log would take seconds and hundreds of
// megabytes to lay out, and nobody reads it in a window this small. Older records stay in
// the file.
inline constexpr std::size_t kShownLogTail = 256u * 1024u;

struct LogContents {
    enum Status { Loaded, Missing, Unreadable } status = Missing;
    std::string bytes;          // Loaded: the file's last bytes, as they are
    std::uint64_t earlier = 0;  // Loaded: how many bytes of the file come before those
    std::string reason;         // why it cannot be read (Unreadable)
};
// Reads the end of the log (a byte more than tail when it is longer, so that the window can
// tell where a line begins) without ever blocking on a special file. A log that another user
// could steer (ResolveOwnedPath) is Unreadable, with the reason.
LogContents ReadLog(const std::string& path, std::size_t tail = kShownLogTail);

// Adds records to the end of the log as it stands, on a line of their own, making the file
// and its directory when missing; a link is followed where ReadLog follows it. The bytes
// already there are never touched, and a failed write cuts the file back to its old size.
// Returns what was written (records, perhaps after a line break). A file the user made
// read-only is left as it is. Throws fw::EFCreateError with "Cannot create file %s", the
// path and the reason.
std::string AppendLog(const std::string& path, std::string_view records);
// Empties the log (a zero-byte file), in place. Throws as AppendLog does.
void ClearLog(const std::string& path);

// Makes an empty log where none is, as the program does at start-up even though the log
// window is made only when first shown; an existing file (readable or not) is left alone, as
// is one that another user could steer (the window names it). True when it made one. Throws
// as AppendLog does.
bool CreateLogIfMissing(const std::string& path);

// What Add puts after log: the record, on a line of its own.
std::string AppendedRecord(std::string_view log, std::string_view record);

// The longest line the window shows; the rest of a longer line is cut off there, since
// laying out one huge line would freeze the window.
inline constexpr std::size_t kShownLineLength = 1024;

// The log's bytes as text the window can show: valid UTF-8 stays, other bytes are read as
// Latin-1, lines longer than kShownLineLength bytes end in an ellipsis. Only for display;
// the file keeps its bytes.
std::string LogDisplayText(std::string_view bytes);

// What the window shows of a log that has earlier bytes before log: all of it as
// LogDisplayText with CR LF line breaks, or, for a longer log, a line saying how much is left
// out and then its last lines within kShownLogTail bytes.
std::string ShownLog(std::string_view log, std::uint64_t earlier = 0);

}  // namespace app
