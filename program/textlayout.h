#pragma once
// Where the main window's three texts go once their fonts are known. The designed places
// hold while the texts fit; a larger font never draws one text over another: the marquee
// starts after its caption, and what still does not fit is clipped at its neighbour.

namespace app {

struct TextBox {
    int left, top, width, height;
    bool operator==(const TextBox&) const = default;
};

// The texts' own sizes, as measured in their fonts.
struct TextSizes {
    int ipWidth, ipHeight;
    int captionWidth, captionHeight;
    int marqueeHeight;
};

struct TextPlaces {
    TextBox ip, caption, marquee;
};

// marqueeRight: where the marquee ends; the font commands choose it, the layout keeps it.
TextPlaces PlaceTexts(bool compact, const TextSizes& sizes, int marqueeRight);

}  // namespace app
