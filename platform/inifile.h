#pragma once
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Private-profile INI files: "[section]" lines with "key=value" lines below them. Sections and
// keys match without regard to case; everything a call does not address (other sections,
// comments, unknown lines) is kept as it was. File names are resolved by SettingsFilePath: a
// bare name lives in the per-user settings directory.
namespace platform {

// The message is exactly "Unable to write to " + the file name as the caller gave it.
class IniWriteError : public std::runtime_error {
  public:
    explicit IniWriteError(const std::string& fileName)
        : std::runtime_error("Unable to write to " + fileName) {}
};

using IniEntries = std::vector<std::pair<std::string, std::string>>;

// Key names of the section in file order, each once. A missing file or section gives none.
std::vector<std::string> ReadIniKeys(const std::string& fileName, const std::string& section);

// The key's value; when it is enclosed in a matching pair of apostrophes or double quotes,
// without that pair. defaultValue when the key is missing.
std::string ReadIniString(const std::string& fileName, const std::string& section,
                          const std::string& key, const std::string& defaultValue = {});

// Sets key=value: an existing key is replaced where it stands, a new one goes to the end of
// its section, a missing section is added at the end of the file. Throws IniWriteError.
void WriteIniString(const std::string& fileName, const std::string& section, const std::string& key,
                    const std::string& value);

// Removes the section with all its lines. Throws IniWriteError.
void EraseIniSection(const std::string& fileName, const std::string& section);

// Erases the section and writes the entries in order, in one replacement of the file, so a
// failure leaves the old section whole. Throws IniWriteError.
void ReplaceIniSection(const std::string& fileName, const std::string& section,
                       const IniEntries& entries);

}  // namespace platform
