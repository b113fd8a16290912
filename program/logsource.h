#pragma once
// What the log window needs of the window that opens it: the address and host-name texts
// that a record holds, and the pictures of the close glyph pressed and released.
#include <string>

namespace fw {
class TBitmap;
}

class TLogSource {
  public:
    virtual ~TLogSource() = default;
    virtual std::string AddressText() const = 0;
    virtual std::string HostNameText() const = 0;
    // The close glyph's picture: pressed, or released.
    virtual void GetCloseGlyph(bool pressed, fw::TBitmap& into) const = 0;
};
