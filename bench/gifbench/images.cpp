#include "bench/gifbench/images.h"

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "gif/codec/gifimagecore.h"

namespace gifbench {

using gifcodec::TDib;

namespace {

void SetPixel(TDib& dib, int x, int y, unsigned v) {
    std::uint8_t* row = dib.ScanLine(y);
    switch (dib.BitCount()) {
        case 8:
            row[x] = static_cast<std::uint8_t>(v);
            break;
        case 4:
            row[x >> 1] = static_cast<std::uint8_t>((x & 1) ? (row[x >> 1] & 0xF0) | (v & 15)
                                                            : (row[x >> 1] & 0x0F) | (v << 4));
            break;
        default:
            row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(0x80 >> (x & 7))) |
                                                    ((v & 1) << (7 - (x & 7))));
    }
}

// colors distinct entries spread over a ramp.
void Ramp(TDib& dib, int colors) {
    for (int i = 0; i < dib.PaletteSize(); ++i) {
        const int v = colors > 1 ? std::min(i, colors - 1) * 255 / (colors - 1) : 0;
        dib.SetPaletteEntry(i, {static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(v),
                                static_cast<std::uint8_t>(v / 2), 0});
    }
}

int DepthFor(int colors) { return colors == 2 ? 1 : colors <= 16 ? 4 : 8; }

// Smooth light and shade with sensor noise, in `colors` levels: long runs are rare, as in a
// photograph (or, at few levels, in a dithered scan).
TDib Photo(int size, int colors, std::uint32_t seed) {
    TDib dib(size, size, DepthFor(colors));
    Ramp(dib, colors);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(-6, 6);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double v = 128 + 60 * std::sin(x / 37.0) * std::cos(y / 53.0) +
                             40 * std::sin((x + 2 * y) / 140.0);
            const int level = std::clamp(static_cast<int>(v) + noise(rng), 0, 255);
            SetPixel(dib, x, y, static_cast<unsigned>(level * colors / 256));
        }
    }
    return dib;
}

// Rectangles and discs of a few flat colours.
TDib Flat(int size, int shapes, std::uint32_t seed) {
    TDib dib(size, size, 8);
    Ramp(dib, 256);
    std::mt19937 rng(seed);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) dib.ScanLine(y)[x] = 200;
    for (int s = 0; s < shapes; ++s) {
        const int cx = static_cast<int>(rng() % size), cy = static_cast<int>(rng() % size);
        const int r = static_cast<int>(rng() % (size / 6)) + 4;
        const auto colour = static_cast<std::uint8_t>(rng() % 16 * 16);
        const bool disc = rng() & 1;
        for (int y = std::max(0, cy - r); y < std::min(size, cy + r); ++y)
            for (int x = std::max(0, cx - r); x < std::min(size, cx + r); ++x)
                if (!disc || (x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r)
                    dib.ScanLine(y)[x] = colour;
    }
    return dib;
}

// A disc moving over a striped ground.
TDib AnimationFrame(int size, int n) {
    TDib dib(size, size, 8);
    Ramp(dib, 256);
    const int cx = size / 2 + static_cast<int>(size / 3 * std::cos(n / 10.0));
    const int cy = size / 2 + static_cast<int>(size / 3 * std::sin(n / 10.0));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            std::uint8_t v = static_cast<std::uint8_t>(((x + n) / 8 % 2) ? 40 : 90 + y / 16);
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < 900)
                v = static_cast<std::uint8_t>(180 + (x - cx + y - cy + 60) / 8);
            dib.ScanLine(y)[x] = v;
        }
    }
    return dib;
}

// A shaded ball on a see-through square (index 255 transparent).
TDib Sprite(int size, int n) {
    TDib dib(size, size, 8);
    Ramp(dib, 256);
    const int c = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int d = (x - c) * (x - c) + (y - c) * (y - c);
            dib.ScanLine(y)[x] =
                static_cast<std::uint8_t>(d < c * c ? std::min(254, 100 + (x + y + n) % 150) : 255);
        }
    return dib;
}

Case FullFrames(std::string name, std::vector<TDib> dibs, int colors, bool interlaced = false) {
    Case c{
        std::move(name), dibs.front().Width(), dibs.front().Height(), colors, interlaced, {}, {}};
    for (TDib& d : dibs) c.frames.push_back({std::move(d)});
    return c;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
    if (file.empty()) throw std::runtime_error("cannot read " + path);
    return file;
}

// A given file: decoded as it is, encoded from its frames.
Case FileCase(std::string name, std::vector<std::uint8_t> file) {
    gifcodec::TGIFImageCore image;
    image.LoadFromBytes(file);
    Case c{std::move(name), image.RawScreenWidth(), image.RawScreenHeight(), 256, false, {},
           std::move(file)};
    for (int i = 0; i < image.FrameCount(); ++i)
        c.frames.push_back({image.Frame(i).Bitmap(), image.Frame(i).Origin().x,
                            image.Frame(i).Origin().y, image.Frame(i).Disposal(), -1});
    return c;
}

// Files as other encoders write them, made in a fresh folder by their command lines:
// ImageMagick's dithered photograph, animation and flat drawing, and what gifsicle makes of
// them (optimised frames, recompressed, interlaced).
struct MadeFile {
    const char* name;
    const char* command;  // run in the folder; writes <name>.gif
};

const MadeFile kMadeFiles[] = {
    {"im-photo-640", "convert -seed 7 -size 640x480 plasma:fractal -blur 0x1 im-photo-640.gif"},
    {"im-anim-24x200",
     "convert -seed 3 -size 200x150 plasma:fractal -write mpr:p +delete -delay 4 "
     "$(for i in $(seq 0 23); do printf 'mpr:p -roll +%d+%d ' $((i * 8)) $((i * 3)); done) "
     "im-anim-24x200.gif"},
    {"im-flat-1600",
     "convert -size 1600x1200 xc:white -fill red -draw 'rectangle 100,100 700,500' "
     "-fill navy -draw 'circle 1000,700 1300,900' -fill green -draw 'polygon 50,1100 800,600 "
     "1500,1150' im-flat-1600.gif"},
    {"im-anim-optimized", "convert im-anim-24x200.gif -layers Optimize im-anim-optimized.gif"},
    {"gs-anim-O2", "gifsicle -O2 im-anim-24x200.gif > gs-anim-O2.gif"},
    {"gs-photo-O3", "gifsicle -O3 im-photo-640.gif > gs-photo-O3.gif"},
    {"gs-interlaced", "gifsicle --interlace im-photo-640.gif > gs-interlaced.gif"},
};

}  // namespace

std::size_t Case::Pixels() const {
    std::size_t n = 0;
    for (const Frame& f : frames) n += static_cast<std::size_t>(f.dib.Width()) * f.dib.Height();
    return n;
}

std::vector<Case> MakeCases(const std::string& indicatorPath) {
    std::vector<Case> cases;
    cases.push_back(FullFrames("photo-1024", {Photo(1024, 256, 1)}, 256));
    cases.push_back(FullFrames("flat-1024", {Flat(1024, 60, 7)}, 256));
    std::vector<TDib> anim;
    for (int n = 0; n < 64; ++n) anim.push_back(AnimationFrame(256, n));
    cases.push_back(FullFrames("anim-64x256", std::move(anim), 256));
    cases.push_back(FullFrames("1bit-1024", {Photo(1024, 2, 2)}, 2));
    cases.push_back(FullFrames("2bit-1024", {Photo(1024, 4, 3)}, 4));
    cases.push_back(FullFrames("4bit-1024", {Photo(1024, 16, 4)}, 16));
    cases.push_back(FullFrames("interlaced-1024", {Photo(1024, 256, 5)}, 256, true));

    // Transparent sprites in sub-rectangles over a full first frame, as optimised
    // animations are written.
    Case sprites{"sprites-64x256", 256, 256, 256, false, {}, {}};
    sprites.frames.push_back({AnimationFrame(256, 0), 0, 0, 1, -1});
    for (int n = 1; n < 64; ++n)
        sprites.frames.push_back({Sprite(48, n), (n * 37) % 208, (n * 53) % 208, 1, 255});
    cases.push_back(std::move(sprites));

    // The program's own indicator, as stored: decoded as it is, encoded from its frames.
    cases.push_back(FileCase("indicator-11x15", ReadFile(indicatorPath)));
    return cases;
}

std::vector<Case> MadeCases() {
    char folder[] = "/tmp/gifbench.XXXXXX";
    if (!mkdtemp(folder)) throw std::runtime_error("cannot make a folder for the made files");
    std::vector<Case> cases;
    try {
        for (const MadeFile& f : kMadeFiles) {
            const std::string command = std::string("cd ") + folder + " && " + f.command;
            if (std::system(command.c_str()) != 0)
                throw std::runtime_error(std::string("cannot make ") + f.name + ": " + f.command);
            cases.push_back(
                FileCase(f.name, ReadFile(std::string(folder) + "/" + f.name + ".gif")));
        }
    } catch (...) {
        std::filesystem::remove_all(folder);
        throw;
    }
    std::filesystem::remove_all(folder);
    return cases;
}

}  // namespace gifbench
