#pragma once
// The primary screen as the windows see it, in logical pixels.

namespace fw {

struct TScreenSize {
    int Width;
    int Height;
};

// The full primary screen (panels and docks included); 800 x 600 when no screen is known.
TScreenSize PrimaryScreenSize();

}  // namespace fw
