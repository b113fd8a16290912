#pragma once
// The binary form of a component text: the parsed tree as the build stores the window
// descriptions, so that a window loads without lexing, parsing or decoding hexadecimal.
// Every line number is kept, so errors while loading name the line of the text it came from.
#include <string>
#include <string_view>

#include "framework/text/textvalue.h"

namespace fw {

std::string WriteBinaryForm(const ObjectText& tree);
bool IsBinaryForm(std::string_view data);
// Throws EParserError for data WriteBinaryForm did not write; never reads past the data.
// Binary values are not copied: they refer into data, which must outlive the tree.
ObjectText ReadBinaryForm(std::string_view data);

// A window description in either form: the binary form, told by its first bytes, or text.
// Binary values may refer into the description, which must outlive the tree.
ObjectText ReadDescriptionTree(std::string_view description);

}  // namespace fw
