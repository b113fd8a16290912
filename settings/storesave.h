#pragma once
// Saving side of the property store: picks the lines of the stored properties out of a
// rendered component text and flattens each into key/value entries.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace fw {
class TComponent;
}

namespace settings {

using StoreEntry = std::pair<std::string, std::string>;  // key, value
using StoreEntries = std::vector<StoreEntry>;

struct SaveSource {
    // The component a block header names, when an item keeps properties of it; else null.
    std::function<fw::TComponent*(const std::string& name)> storedComponent;
    // That item's stored property names.
    std::function<std::vector<std::string>(fw::TComponent*)> storedProps;
    // Writes a multi-line binary value (its hex lines) to the side file and returns the
    // section it went to; path carries the collection prefix, if any.
    std::function<std::string(fw::TComponent*, const std::string& path,
                              const std::vector<std::string>& hexLines)>
        writeBinary;
};

// Entries in the order they were collected: components in the order of the text, each
// with its property lines first and then its unlisted enumerations.
StoreEntries CollectStoreEntries(const std::string& componentText, const SaveSource& source);

}  // namespace settings
