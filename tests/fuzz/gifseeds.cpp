// Writes small GIFs of every shape the reader knows into a seed directory.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "gif/codec/gifimagecore.h"
#include "gif/codec/lzw.h"

using namespace gifcodec;

namespace {

TDib Pattern(int w, int h, int bits, int seed) {
    TDib dib(w, h, bits);
    for (int i = 0; i < dib.PaletteSize(); ++i)
        dib.SetPaletteEntry(i, {static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i),
                                static_cast<std::uint8_t>(255 - i), 0});
    for (int y = 0; y < h; ++y)
        for (std::size_t x = 0; x < dib.Stride(); ++x)
            dib.ScanLine(y)[x] = static_cast<std::uint8_t>((x * 7 + y * 13 + seed) % 251);
    return dib;
}

TDib Rgb24(int w, int h) {
    TDib dib(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x) dib.ScanLine(y)[x] = static_cast<std::uint8_t>(x * y + x);
    return dib;
}

void Save(TGIFImageCore& image, const std::string& path) {
    const auto bytes = image.SaveToBytes();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 1;
    const std::string dir = argv[1];
    std::filesystem::create_directories(dir);

    TGIFImageCore one;
    one.AddFrame(Pattern(5, 3, 1, 0));
    Save(one, dir + "/one-bit.gif");

    TGIFImageCore four;
    four.AddFrame(Pattern(7, 6, 4, 1));
    four.Data().comment = {"comment"};
    Save(four, dir + "/four-bit-comment.gif");

    TGIFImageCore anim;
    for (int i = 0; i < 4; ++i) {
        TGIFFrame& f = anim.AddFrame(Pattern(8 - i, 8 - i, 8, i));
        f.SetOrigin({i, i});
        f.SetDelay(static_cast<std::uint16_t>(100 * i));
        f.SetDisposal(static_cast<std::uint8_t>(i));
    }
    anim.Frame(1).SetTransparentColor(anim.Frame(1).Bitmap().PaletteColor(3));
    anim.SetLooping(true);
    anim.SetRepeatCount(3);
    Save(anim, dir + "/animation.gif");

    TGIFImageCore deep;
    deep.AddFrame(Rgb24(16, 9));
    Save(deep, dir + "/reduced.gif");

    // Interlaced data is never written by the encoder itself: put it in by hand.
    TGIFImageCore interlaced;
    TGIFFrame& f = interlaced.AddFrame(Pattern(6, 11, 8, 5));
    interlaced.EncodeAllFrames();
    f.Item().encoded = LzwEncode(Pattern(6, 11, 8, 5), true, {});
    f.SetInterlaced(true);
    Save(interlaced, dir + "/interlaced.gif");
    return 0;
}
