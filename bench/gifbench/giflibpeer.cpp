#include "bench/gifbench/giflibpeer.h"

#include <gif_lib.h>

#include <cstring>
#include <stdexcept>

namespace gifbench {

namespace {

struct Source {
    const std::vector<std::uint8_t>* bytes;
    std::size_t pos = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* buf, int n) {
    auto* src = static_cast<Source*>(gif->UserData);
    const std::size_t left = src->bytes->size() - src->pos;
    const std::size_t k = std::min<std::size_t>(left, static_cast<std::size_t>(n));
    std::memcpy(buf, src->bytes->data() + src->pos, k);
    src->pos += k;
    return static_cast<int>(k);
}

int WriteBytes(GifFileType* gif, const GifByteType* buf, int n) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), buf, buf + n);
    return n;
}

int BitsFor(int colors) {
    int bits = 1;
    while ((1 << bits) < colors) ++bits;
    return bits;
}

}  // namespace

std::vector<std::uint8_t> GiflibEncode(const Case& c) {
    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteBytes, &error);
    if (!gif) throw std::runtime_error("EGifOpen failed");
    const gifcodec::TDib& first = c.frames.front().dib;
    GifColorType colours[256];
    for (int i = 0; i < c.colors; ++i) {
        const gifcodec::TRgbQuad q = first.PaletteEntry(i);
        colours[i] = {q.red, q.green, q.blue};
    }
    ColorMapObject* map = GifMakeMapObject(c.colors, colours);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, c.width, c.height, BitsFor(c.colors), 0, map) == GIF_OK;
    std::vector<GifPixelType> line;
    for (const Frame& f : c.frames) {
        if (f.disposal != 0 || f.transparent >= 0) {
            GraphicsControlBlock gcb{f.disposal, false, 0, f.transparent};
            GifByteType ext[4];
            EGifGCBToExtension(&gcb, ext);
            ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) == GIF_OK;
        }
        const int w = f.dib.Width(), h = f.dib.Height();
        ok = ok && EGifPutImageDesc(gif, f.left, f.top, w, h, c.interlaced, nullptr) == GIF_OK;
        line.resize(w);
        auto put = [&](int y) {
            for (int x = 0; x < w; ++x) line[x] = static_cast<GifPixelType>(f.dib.PixelIndex(x, y));
            ok = ok && EGifPutLine(gif, line.data(), w) == GIF_OK;
        };
        if (c.interlaced) {
            // The lines go in the order of the four passes.
            static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < h; y += step[pass]) put(y);
        } else {
            for (int y = 0; y < h; ++y) put(y);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    if (!ok) throw std::runtime_error("giflib encoding failed");
    return out;
}

Decoded GiflibDecode(const std::vector<std::uint8_t>& bytes, bool keep) {
    Source src{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&src, ReadBytes, &error);
    if (!gif) throw std::runtime_error("DGifOpen failed");
    const bool ok = DGifSlurp(gif) == GIF_OK;
    Decoded out;
    for (int i = 0; ok && i < gif->ImageCount; ++i) {
        const SavedImage& s = gif->SavedImages[i];
        const std::size_t n = static_cast<std::size_t>(s.ImageDesc.Width) * s.ImageDesc.Height;
        out.pixels += n;
        if (keep) out.frames.emplace_back(s.RasterBits, s.RasterBits + n);
    }
    DGifCloseFile(gif, &error);
    if (!ok) throw std::runtime_error("giflib decoding failed");
    return out;
}

}  // namespace gifbench
