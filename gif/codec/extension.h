#pragma once
// One GIF extension block as kept with a frame.
#include <array>
#include <cstdint>
#include <optional>

#include "gif/codec/sharedimage.h"

namespace gifcodec {

enum class TExtensionType : std::uint8_t {
    etGraphicControl,
    etPlainText,
    etApplication,
    etComment
};

struct TExtension {
    TExtensionType type = TExtensionType::etGraphicControl;
    std::optional<TLineList> data;  // one entry per data sub-block
    // Exactly as it follows the label: graphic control 6 bytes, plain text 13, application 12.
    std::array<std::uint8_t, 13> fixed{};

    static constexpr std::uint8_t kLabels[4] = {0xF9, 0x01, 0xFF, 0xFE};
    std::uint8_t Label() const { return kLabels[static_cast<int>(type)]; }
    std::size_t FixedSize() const;

    // Graphic control fields.
    unsigned Disposal() const { return (fixed[1] >> 2) & 7; }
    bool HasTransparency() const { return fixed[1] & 1; }
    unsigned DelayField() const { return fixed[2] | (fixed[3] << 8); }
    unsigned TransparentIndex() const { return fixed[4]; }

    static TExtension NewGraphicControl();
};

}  // namespace gifcodec
