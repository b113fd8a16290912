#pragma once
// giflib's reading of a GIF, composed frame by frame with the usual disposal rules: the peer
// our decoder and writer are held against. Used by tests and benches, never by the program.
#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace giflibpeer {

// Each composed frame holds 0 where nothing shows, else 0xFF000000 | RGB (red lowest).
struct Reference {
    int width = 0, height = 0;
    std::vector<std::vector<std::uint32_t>> frames;
};

inline int ReadFrom(GifFileType* gif, GifByteType* buf, int n) {
    auto* in =
        static_cast<std::pair<const std::vector<std::uint8_t>*, std::size_t>*>(gif->UserData);
    const std::size_t k = std::min<std::size_t>(in->first->size() - in->second, n);
    std::memcpy(buf, in->first->data() + in->second, k);
    in->second += k;
    return static_cast<int>(k);
}

// No frames when giflib cannot read the bytes.
inline Reference GiflibCompose(const std::vector<std::uint8_t>& bytes) {
    std::pair<const std::vector<std::uint8_t>*, std::size_t> in{&bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&in, ReadFrom, &error);
    Reference out;
    if (!gif) return out;
    if (DGifSlurp(gif) == GIF_OK) {
        out.width = gif->SWidth;
        out.height = gif->SHeight;
        std::vector<std::uint32_t> canvas(std::size_t(out.width) * out.height, 0);
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            const GifImageDesc& d = image.ImageDesc;
            GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
            DGifSavedExtensionToGCB(gif, i, &gcb);
            const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
            if (!map) {
                out.frames.clear();
                break;
            }
            const std::vector<std::uint32_t> before = canvas;
            for (int y = 0; y < d.Height; ++y) {
                for (int x = 0; x < d.Width; ++x) {
                    const int sx = d.Left + x, sy = d.Top + y;
                    const int index = image.RasterBits[y * d.Width + x];
                    if (sx >= out.width || sy >= out.height || index == gcb.TransparentColor)
                        continue;
                    const GifColorType c = map->Colors[index & (map->ColorCount - 1)];
                    canvas[sy * out.width + sx] = 0xFF000000u | c.Red | c.Green << 8 | c.Blue << 16;
                }
            }
            out.frames.push_back(canvas);
            if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
                for (int y = d.Top; y < std::min(out.height, d.Top + d.Height); ++y)
                    for (int x = d.Left; x < std::min(out.width, d.Left + d.Width); ++x)
                        canvas[y * out.width + x] = 0;
            } else if (gcb.DisposalMode >= DISPOSE_PREVIOUS) {
                canvas = before;
            }
        }
    }
    DGifCloseFile(gif, &error);
    return out;
}

}  // namespace giflibpeer
