#pragma once
// The benchmark's pictures, made here (and the program's own indicator, read from the tree).
#include <cstdint>
#include <string>
#include <vector>

#include "gif/codec/dib.h"

namespace gifbench {

struct Frame {
    gifcodec::TDib dib;  // 1, 4 or 8 bits per pixel; the palette's first `colors` entries count
    int left = 0;
    int top = 0;
    int disposal = 0;
    int transparent = -1;  // index, or -1
};

struct Case {
    std::string name;
    int width = 0;  // logical screen
    int height = 0;
    int colors = 256;         // colour table size: 2, 4, 16 or 256
    bool interlaced = false;  // written interlaced by the peer; ours never writes so
    std::vector<Frame> frames;
    std::vector<std::uint8_t> file;  // a given picture to decode, when not the peer's output
    std::size_t Pixels() const;
};

// The photograph-like case first: it is the headline figure.
std::vector<Case> MakeCases(const std::string& indicatorPath);
// Files written by ImageMagick and gifsicle, made now; throws when a tool is missing.
std::vector<Case> MadeCases();

}  // namespace gifbench
