#pragma once
// Texts compiled in packed: the window descriptions' text form, which the tests and tools
// read (the program reads the binary form), carries its pictures as hexadecimal text and packs
// to a tenth of its size. Unpacked on use, it costs memory only while it is read.
#include <string>
#include <string_view>

namespace fw {

// Packs text (deflate with its unpacked length in front) as UnpackText reads it.
std::string PackText(std::string_view text);
// The text PackText packed; throws EParserError when the data is damaged.
std::string UnpackText(std::string_view packed);

}  // namespace fw
