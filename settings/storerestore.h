#pragma once
// Restoring side of the property store: the section's entries regrouped by component and
// turned back into component text, one property at a time, so that a damaged key costs
// only the property it belongs to.
#include <functional>
#include <string>
#include <vector>

#include "settings/storesave.h"

namespace fw {
class TComponent;
}  // namespace fw

namespace settings {

// A run of consecutive entries for one component: "Font.Name='Arial'" (the text after the
// component name and its "."), with the index of the entry each line came from.
struct EntryGroup {
    std::string component;
    std::vector<std::string> lines;
    std::vector<size_t> entries;
};

// Entries without a "." in the key, or with nothing before it, belong to no component.
std::vector<EntryGroup> GroupStoreEntries(const StoreEntries& entries);

// The hex lines of a section of the binary side file, in order.
using BinaryLoader = std::function<std::vector<std::string>(const std::string& section)>;

// One property of a group turned back into component text.
struct RebuiltProperty {
    std::string text;        // its property lines, two spaces in ("  Font.Name='Arial'\n")
    std::string collection;  // the top-level collection it refills, to be cleared first
    size_t first = 0;        // the group's lines it was made of: [first, first + count)
    size_t count = 0;
    std::string error;  // why those lines make no property line (text is then empty)
};

// Every line of the group lands in exactly one property, in order; blank lines in none.
std::vector<RebuiltProperty> RebuildProperties(const std::vector<std::string>& lines,
                                               const BinaryLoader& loadBinary);

struct RebuiltText {
    std::string text;                      // "object Name: TClass" ... "end"
    std::vector<std::string> collections;  // top-level collection paths, to clear first
};

// The whole group as one piece of component text. Throws fw::EParserError for an entry
// that cannot be turned back into a property line.
RebuiltText RebuildComponentText(const std::string& name, const std::string& className,
                                 const std::vector<std::string>& lines,
                                 const BinaryLoader& loadBinary);

// A key that a restore could not use: the key, its line in the file (0 when it has none)
// and why.
struct SkippedKey {
    std::string key;
    int line = 0;
    std::string reason;
};

// Restores one group onto component c of root: each property is parsed and checked on its
// own and only the sound ones are applied. The keys of the others are added to skipped.
void RestoreGroupOnto(fw::TComponent& c, fw::TComponent* root, const EntryGroup& group,
                      const StoreEntries& entries, const std::vector<int>& fileLines,
                      const BinaryLoader& loadBinary, std::vector<SkippedKey>& skipped);

// Empties the collection at a dotted path of class-typed properties; a path that does not
// lead to a collection is left alone.
void ClearCollectionAt(fw::TComponent& component, const std::string& path);

}  // namespace settings
