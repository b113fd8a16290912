#include "tools/giftool/commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <unordered_map>

#include "gif/codec/compose.h"
#include "gif/codec/gifimagecore.h"
#include "tools/giftool/ppm.h"

namespace giftool {

namespace {

using namespace gifcodec;

void Load(TGIFImageCore& image, const std::string& path) {
    TFileStream file(path, TFileMode::fmOpenRead);
    image.LoadFromStream(file);
}

std::string ColorText(TColor c) {
    if (c == clNone) return "none";
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
    return text;
}

// Control characters of a comment are shown as escapes so one line stays one line.
std::string Printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

const char* YesNo(bool b) { return b ? "yes" : "no"; }

struct TRect {
    int left, top, right, bottom;
};

// The smallest rectangle holding every pixel that differs; one pixel when none does, since
// a frame cannot be empty.
TRect ChangedRect(const TDib& before, const TDib& after) {
    TRect r{after.Width(), after.Height(), 0, 0};
    const std::size_t rowBytes = static_cast<std::size_t>(after.Width()) * 3;
    for (int y = 0; y < after.Height(); ++y) {
        const std::uint8_t* a = before.ScanLine(y);
        const std::uint8_t* b = after.ScanLine(y);
        if (std::memcmp(a, b, rowBytes) == 0) continue;
        r.top = std::min(r.top, y);
        r.bottom = y + 1;
        for (int x = 0; x < after.Width(); ++x) {
            if (std::memcmp(a + 3 * x, b + 3 * x, 3) == 0) continue;
            r.left = std::min(r.left, x);
            r.right = std::max(r.right, x + 1);
        }
    }
    return r.right > r.left ? r : TRect{0, 0, 1, 1};
}

// The picture in the table's indices when the table holds all its colours, so that the
// frame needs no table of its own; else the picture as it is.
TDib InTable(TDib picture, const ColorTable& table) {
    std::unordered_map<TColor, int> index;
    for (int i = table.count - 1; i >= 0; --i) index[table.Color(i)] = i;
    TDib out(picture.Width(), picture.Height(), 8);
    for (int i = 0; i < table.count; ++i)
        out.SetPaletteEntry(i, {table.entries[i][2], table.entries[i][1], table.entries[i][0], 0});
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const auto found = index.find(picture.PixelColor(x, y));
            if (found == index.end()) return picture;
            out.ScanLine(y)[x] = static_cast<std::uint8_t>(found->second);
        }
    }
    return out;
}

TDib Crop(const TDib& dib, const TRect& r) {
    TDib out(r.right - r.left, r.bottom - r.top, 24);
    for (int y = r.top; y < r.bottom; ++y)
        std::memcpy(out.ScanLine(y - r.top), dib.ScanLine(y) + 3 * r.left,
                    static_cast<std::size_t>(out.Width()) * 3);
    return out;
}

}  // namespace

int Info(const std::string& path, std::ostream& out) {
    TGIFImageCore image;
    Load(image, path);
    out << "version " << (image.Version() == 1 ? "GIF87a" : "GIF89a") << '\n';
    out << "screen " << image.RawScreenWidth() << " x " << image.RawScreenHeight() << '\n';
    out << "background " << ColorText(image.BackgroundColor()) << '\n';
    out << "looping " << YesNo(image.Looping()) << " repeat " << image.RepeatCount() << '\n';
    std::string comment;
    for (const std::string& line : image.Data().comment) {
        if (!comment.empty()) comment += "\\n";
        comment += Printable(line);
    }
    out << "comment " << comment << '\n';
    out << "frames " << image.FrameCount() << '\n';
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFFrame& f = image.Frame(i);
        f.Bitmap();  // decoding sets the corrupted flag
        out << "frame " << i << " origin " << f.Origin().x << ',' << f.Origin().y << " size "
            << f.Item().width << 'x' << f.Item().height << " bpp " << int(f.Item().bitsPerPixel)
            << " delay " << f.Delay() << " disposal " << int(f.Disposal()) << " transparent "
            << ColorText(f.TransparentColor()) << " interlaced " << YesNo(f.Interlaced())
            << " corrupted " << YesNo(f.Corrupted()) << '\n';
    }
    return 0;
}

int Frames(const std::string& path, const std::string& dir) {
    TGIFImageCore image;
    Load(image, path);
    if (image.FrameCount() > 0 && (image.RawScreenWidth() == 0 || image.RawScreenHeight() == 0))
        throw std::runtime_error(path + ": the logical screen is " +
                                 std::to_string(image.RawScreenWidth()) + " x " +
                                 std::to_string(image.RawScreenHeight()) +
                                 " pixels; there is nothing to compose the frames on");
    if (image.FrameCount() > 0 && image.Empty())
        throw std::runtime_error(path + ": the first frame is empty; there is nothing to compose");
    std::filesystem::create_directories(dir);
    // Each frame from the one before: thousands of small frames stay quick.
    TFrameComposer composer(image);
    for (int i = 0; !composer.AtEnd(); ++i)
        WritePpm(dir + "/frame-" + std::to_string(i) + ".ppm", composer.Next());
    return 0;
}

int Encode(const std::string& outPath, const std::vector<std::string>& inputs, int delayMs) {
    TGIFImageCore image;
    TDib shown;  // what the frames so far leave on the screen
    for (const std::string& input : inputs) {
        TDib picture = ReadPpm(input);
        // A frame of the same size carries only what changed, drawn over the one before.
        const bool over = shown.Width() == picture.Width() && shown.Height() == picture.Height();
        const TRect changed = over ? ChangedRect(shown, picture) : TRect{0, 0, 0, 0};
        TGIFFrame& frame =
            image.AddFrame(over ? InTable(Crop(picture, changed), image.Data().colors) : picture);
        frame.SetOrigin({changed.left, changed.top});
        frame.SetDisposal(1);
        frame.SetDelay(static_cast<std::uint16_t>(delayMs));
        shown = std::move(picture);
        // The first frame's colours become the global table the later frames look up.
        if (image.FrameCount() == 1) image.EncodeAllFrames();
    }
    image.SetLooping(true);
    image.SetRepeatCount(0);
    image.Data().comment = {kComment};
    const std::vector<std::uint8_t> bytes = image.SaveToBytes();
    TFileStream file(outPath, TFileMode::fmCreate);
    file.WriteBuffer(bytes.data(), bytes.size());
    return 0;
}

int Copy(const std::string& inPath, const std::string& outPath) {
    TGIFImageCore image;
    Load(image, inPath);
    if (image.FrameCount() == 0) throw std::runtime_error(inPath + ": there are no frames to copy");
    // Each frame decoded and its data dropped: saving encodes it again. Origins, delays,
    // disposal, transparency, looping, comments and the logical screen stay as read.
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFFrame& frame = image.Frame(i);
        frame.Bitmap();
        frame.Item().encoded.reset();
    }
    const std::vector<std::uint8_t> bytes = image.SaveToBytes();
    TFileStream file(outPath, TFileMode::fmCreate);
    file.WriteBuffer(bytes.data(), bytes.size());
    return 0;
}

}  // namespace giftool
