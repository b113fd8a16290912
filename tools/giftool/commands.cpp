#include "tools/giftool/commands.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

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
    for (const std::string& input : inputs) {
        TGIFFrame& frame = image.AddFrame(ReadPpm(input));
        frame.SetDelay(static_cast<std::uint16_t>(delayMs));
    }
    image.SetLooping(true);
    image.SetRepeatCount(0);
    image.Data().comment = {kComment};
    const std::vector<std::uint8_t> bytes = image.SaveToBytes();
    TFileStream file(outPath, TFileMode::fmCreate);
    file.WriteBuffer(bytes.data(), bytes.size());
    return 0;
}

}  // namespace giftool
