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

}  // namespace

std::vector<std::uint8_t> GiflibEncode(const std::vector<gifcodec::TDib>& frames) {
    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteBytes, &error);
    if (!gif) throw std::runtime_error("EGifOpen failed");
    const gifcodec::TDib& first = frames.front();
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i) {
        const gifcodec::TRgbQuad q = first.PaletteEntry(i);
        colours[i] = {q.red, q.green, q.blue};
    }
    ColorMapObject* map = GifMakeMapObject(256, colours);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, first.Width(), first.Height(), 8, 0, map) == GIF_OK;
    for (const gifcodec::TDib& f : frames) {
        ok = ok && EGifPutImageDesc(gif, 0, 0, f.Width(), f.Height(), false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < f.Height(); ++y)
            ok = EGifPutLine(gif, const_cast<GifPixelType*>(f.ScanLine(y)), f.Width()) == GIF_OK;
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    if (!ok) throw std::runtime_error("giflib encoding failed");
    return out;
}

std::size_t GiflibDecode(const std::vector<std::uint8_t>& bytes) {
    Source src{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&src, ReadBytes, &error);
    if (!gif) throw std::runtime_error("DGifOpen failed");
    const bool ok = DGifSlurp(gif) == GIF_OK;
    std::size_t pixels = 0;
    for (int i = 0; ok && i < gif->ImageCount; ++i)
        pixels += static_cast<std::size_t>(gif->SavedImages[i].ImageDesc.Width) *
                  gif->SavedImages[i].ImageDesc.Height;
    DGifCloseFile(gif, &error);
    if (!ok) throw std::runtime_error("giflib decoding failed");
    return pixels;
}

}  // namespace gifbench
