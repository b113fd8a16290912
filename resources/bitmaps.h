#pragma once
// Bitmaps the components load by name (the menus' check and radio marks), as BMP file
// images compiled into the program.
#include <string_view>

namespace resources {

// The BMP file image of the named bitmap (case-sensitive); empty for an unknown name.
std::string_view BitmapResource(std::string_view name);

}  // namespace resources
