#pragma once
// The windows' descriptions, compiled in from resources/*.dfm with their pictures.
#include <string_view>

namespace resources {
std::string_view Form1Description();
}
