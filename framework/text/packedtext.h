#pragma once
// Texts compiled into the program packed: the window descriptions carry their pictures as
// hexadecimal text, are read once while a window is made and pack to a tenth of their size.
// Unpacked on use, they cost memory only while they are read.
#include <string>
#include <string_view>

namespace fw {

// Packs text (deflate with its unpacked length in front) as UnpackText reads it.
std::string PackText(std::string_view text);
// The text PackText packed; throws EParserError when the data is damaged.
std::string UnpackText(std::string_view packed);

}  // namespace fw
