#pragma once
// Restoring side of the property store: the section's entries regrouped by component and
// turned back into a small piece of component text per component.
#include <functional>
#include <string>
#include <vector>

#include "settings/storesave.h"

namespace fw {
class TComponent;
struct ObjectText;
}  // namespace fw

namespace settings {

// A run of consecutive entries for one component: "Font.Name='Arial'" (the text after the
// component name and its ".").
struct EntryGroup {
    std::string component;
    std::vector<std::string> lines;
};

// Entries without a "." in the key, or with nothing before it, belong to no component.
std::vector<EntryGroup> GroupStoreEntries(const StoreEntries& entries);

// The hex lines of a section of the binary side file, in order.
using BinaryLoader = std::function<std::vector<std::string>(const std::string& section)>;

struct RebuiltText {
    std::string text;                      // "object Name: TClass" ... "end"
    std::vector<std::string> collections;  // top-level collection paths, to clear first
};

// Throws fw::EParserError for an entry that cannot be turned back into a property line.
RebuiltText RebuildComponentText(const std::string& name, const std::string& className,
                                 const std::vector<std::string>& lines,
                                 const BinaryLoader& loadBinary);

// Checks that every property line of the parsed text names a published property of the
// component and carries a value of a fitting kind, so that a damaged group can be refused
// before any of it is applied. Throws fw::EReadError naming the line.
void CheckApplicable(fw::TComponent& component, const fw::ObjectText& text, fw::TComponent* root);

// Empties the collection at a dotted path of class-typed properties; a path that does not
// lead to a collection is left alone.
void ClearCollectionAt(fw::TComponent& component, const std::string& path);

}  // namespace settings
