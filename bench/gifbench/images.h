#pragma once
// The benchmark's pictures, made here: paletted frames of 8 bits per pixel.
#include <string>
#include <vector>

#include "gif/codec/dib.h"

namespace gifbench {

struct Case {
    std::string name;
    std::vector<gifcodec::TDib> frames;
    std::size_t Pixels() const;
};

std::vector<Case> MakeCases();

}  // namespace gifbench
