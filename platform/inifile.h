#pragma once
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Private-profile INI files: "[section]" lines with "key=value" lines below them. Sections and
// keys match without regard to case; everything a call does not address (other sections,
// comments, unknown lines) is kept as it was. File names are resolved by SettingsFilePath: a
// bare name lives in the per-user settings directory.
namespace platform {

// The message is "Unable to write to " + the file name as the caller gave it, followed by
// ": " and the reason when the system gave one ("No space left on device").
class IniWriteError : public std::runtime_error {
  public:
    explicit IniWriteError(const std::string& fileName, const std::string& reason = {})
        : std::runtime_error("Unable to write to " + fileName +
                             (reason.empty() ? std::string() : ": " + reason)) {}
};

using IniEntries = std::vector<std::pair<std::string, std::string>>;

// One key line of a section as it is read: the key and the value without the blanks around
// them and, when the value is then enclosed in a matching pair of apostrophes or double
// quotes, without that pair. line counts from 1; a UTF-8 byte-order mark before the first
// line is skipped.
struct IniLine {
    std::string key;
    std::string value;
    int line = 0;
};

// A settings file larger than this is not read, and so never rewritten.
inline constexpr std::size_t kIniFileCapacity = 4 * 1024 * 1024;

// Every key line of the section in file order, a key that the file repeats as often as it
// does. The file is read once. A missing file or section gives none; so does a file that
// cannot be used (unreadable, a directory, a pipe or device, larger than kIniFileCapacity),
// and then problem, when given, says why in words that follow the file's name ("is a
// directory", "cannot be read: Permission denied"); it is left empty otherwise.
std::vector<IniLine> ReadIniSection(const std::string& fileName, const std::string& section,
                                    std::string* problem = nullptr);
// The same from the text of a file.
std::vector<IniLine> ParseIniSection(std::string_view text, const std::string& section);

// Key names of the section in file order, repeated keys as often as the file has them.
std::vector<std::string> ReadIniKeys(const std::string& fileName, const std::string& section);

// The value of the key's first line, read as ReadIniSection reads it; defaultValue when the
// key is missing.
std::string ReadIniString(const std::string& fileName, const std::string& section,
                          const std::string& key, const std::string& defaultValue = {});

// Writing keeps the user's file what it is: a symbolic link is written through to its
// target where nobody else can steer it (ResolveOwnedPath; elsewhere the file is neither read
// nor written, and the problem or the write error says why); a file without write permission
// is refused rather than replaced; a file in a directory the user cannot write, but that is
// itself writable, is written in place; a temporary file left behind by a killed write is
// removed; writers hold an advisory lock (flock) on the file from reading it to writing it
// back, so none loses another's change.

// Sets key=value: an existing key is replaced where it stands, a new one goes to the end of
// its section, a missing section is added at the end of the file. Throws IniWriteError.
void WriteIniString(const std::string& fileName, const std::string& section, const std::string& key,
                    const std::string& value);

// Removes the temporary files that a save killed half-way left beside the file (those of our
// own name pattern, taken while holding the file's lock). Cheap when there are none.
void RemoveStaleIniTemporaries(const std::string& fileName);

// Removes the section with all its lines. Throws IniWriteError.
void EraseIniSection(const std::string& fileName, const std::string& section);

// Erases the section and writes the entries in order, in one replacement of the file, so a
// failure leaves the old section whole. Throws IniWriteError.
void ReplaceIniSection(const std::string& fileName, const std::string& section,
                       const IniEntries& entries);

}  // namespace platform
