// gifbench: decode and encode throughput of our codec and of giflib on the same pictures.
// Prints "decode|encode NAME ours_MBps giflib_MBps ratio" per case, then the geometric means.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>

#include "bench/gifbench/giflibpeer.h"
#include "bench/gifbench/images.h"
#include "gif/codec/gifimagecore.h"

namespace {

using namespace gifbench;
using Clock = std::chrono::steady_clock;

// Best time of several rounds, each at least a fifth of a second long.
double SecondsPerRun(const std::function<void()>& run) {
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        int runs = 0;
        const auto start = Clock::now();
        double elapsed = 0;
        do {
            run();
            ++runs;
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        } while (elapsed < 0.2);
        best = std::min(best, elapsed / runs);
    }
    return best;
}

std::vector<std::uint8_t> OurEncode(const Case& c) {
    gifcodec::TGIFImageCore image;
    for (const gifcodec::TDib& f : c.frames) image.AddFrame(f);
    return image.SaveToBytes();
}

std::size_t OurDecode(const std::vector<std::uint8_t>& gif) {
    gifcodec::TGIFImageCore image;
    image.LoadFromBytes(gif, false);
    std::size_t pixels = 0;
    for (int i = 0; i < image.FrameCount(); ++i) {
        const gifcodec::TDib& bmp = image.Frame(i).Bitmap();
        pixels += static_cast<std::size_t>(bmp.Width()) * bmp.Height();
    }
    return pixels;
}

}  // namespace

int main() {
    const std::vector<Case> cases = MakeCases();
    double decodeLog = 0, encodeLog = 0;
    std::string encodeLines;
    for (const Case& c : cases) {
        const double mb = c.Pixels() / 1e6;
        const std::vector<std::uint8_t> ours = OurEncode(c);
        const std::vector<std::uint8_t> theirs = GiflibEncode(c.frames);
        if (OurDecode(ours) != c.Pixels() || GiflibDecode(ours) != c.Pixels() ||
            OurDecode(theirs) != c.Pixels()) {
            std::fprintf(stderr, "%s: decoders disagree\n", c.name.c_str());
            return 1;
        }
        volatile std::size_t sink = 0;
        const double oursDecode = mb / SecondsPerRun([&] { sink = sink + OurDecode(ours); });
        const double libDecode = mb / SecondsPerRun([&] { sink = sink + GiflibDecode(ours); });
        const double oursEncode = mb / SecondsPerRun([&] { sink = sink + OurEncode(c).size(); });
        const double libEncode =
            mb / SecondsPerRun([&] { sink = sink + GiflibEncode(c.frames).size(); });
        std::printf("decode %s %.1f %.1f %.2f\n", c.name.c_str(), oursDecode, libDecode,
                    oursDecode / libDecode);
        char line[160];
        std::snprintf(line, sizeof line, "encode %s %.1f %.1f %.2f (%zu bytes, giflib %zu)\n",
                      c.name.c_str(), oursEncode, libEncode, oursEncode / libEncode, ours.size(),
                      theirs.size());
        encodeLines += line;
        decodeLog += std::log(oursDecode / libDecode);
        encodeLog += std::log(oursEncode / libEncode);
        std::fflush(stdout);
    }
    std::fputs(encodeLines.c_str(), stdout);
    std::printf("geomean decode ratio %.2f\n", std::exp(decodeLog / cases.size()));
    std::printf("geomean encode ratio %.2f\n", std::exp(encodeLog / cases.size()));
    return 0;
}
