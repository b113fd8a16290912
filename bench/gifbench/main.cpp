// gifbench: our GIF codec against giflib on the same pictures, in one run.
// Timing interleaves the two (ours, giflib, giflib, ours ...) over many short rounds; the
// ratio is the median of the rounds' ratios, so a change in the machine's load hits both alike.
// Before timing, both decoders' pixel values are compared on both encoders' files. Peak memory is
// the growth of a fresh child process's resident set while it decodes once, against giflib's in the
// same run.
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "bench/gifbench/giflibpeer.h"
#include "bench/gifbench/images.h"
#include "gif/codec/gifimagecore.h"
#include "testpaths.h"

namespace {

using namespace gifbench;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;
using SharedBytes = std::shared_ptr<const Bytes>;

constexpr int kRounds = 21;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double SecondsFor(const std::function<void()>& run, int times) {
    const auto start = Clock::now();
    for (int i = 0; i < times; ++i) run();
    return std::chrono::duration<double>(Clock::now() - start).count() / times;
}

struct Pair {
    double ours;  // seconds per run, median of the rounds
    double theirs;
    double ratio;  // how many times faster ours is: the median of the rounds' own ratios
};

// A B, B A, A B ...: each round runs both sides the same number of times, back to back, so a
// round's ratio sees one machine load; the median of the rounds drops the disturbed ones.
Pair Interleaved(const std::function<void()>& ours, const std::function<void()>& theirs) {
    const double once = std::max(1e-7, SecondsFor(theirs, 1));
    const int times = std::clamp(static_cast<int>(0.02 / once), 1, 100000);
    std::vector<double> a, b, ratio;
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) {
            a.push_back(SecondsFor(ours, times));
            b.push_back(SecondsFor(theirs, times));
        } else {
            b.push_back(SecondsFor(theirs, times));
            a.push_back(SecondsFor(ours, times));
        }
        ratio.push_back(b.back() / a.back());
    }
    return {Median(a), Median(b), Median(ratio)};
}

long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::size_t n = std::char_traits<char>::length(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0) return std::atol(line.c_str() + n);
    return -1;
}

// How far a fresh child's resident set rises above where it started while running work.
long PeakGrowthKb(const std::function<void()>& work) {
    malloc_trim(0);  // freed memory of earlier work must not be reused unseen
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", f);  // the peak starts at what is resident now
            std::fclose(f);
        }
        const long before = StatusKb("VmRSS:");
        work();
        const long grew = StatusKb("VmHWM:") - before;
        (void)!write(fds[1], &grew, sizeof grew);
        _exit(0);
    }
    close(fds[1]);
    long grew = -1;
    if (read(fds[0], &grew, sizeof grew) != sizeof grew) grew = -1;
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return grew;
}

// Medians of three alternating measurements each.
std::pair<long, long> PeakPair(const std::function<void()>& ours,
                               const std::function<void()>& theirs) {
    std::vector<double> a, b;
    for (int i = 0; i < 3; ++i) {
        a.push_back(static_cast<double>(PeakGrowthKb(ours)));
        b.push_back(static_cast<double>(PeakGrowthKb(theirs)));
    }
    return {static_cast<long>(Median(a)), static_cast<long>(Median(b))};
}

Bytes OurEncode(const Case& c) {
    gifcodec::TGIFImageCore image;
    for (const Frame& f : c.frames) {
        gifcodec::TGIFFrame& frame = image.AddFrame(f.dib);
        frame.SetOrigin({f.left, f.top});
        frame.SetDisposal(static_cast<std::uint8_t>(f.disposal));
        if (f.transparent >= 0) {
            frame.SetTransparentColor(f.dib.PaletteColor(f.transparent));
            frame.SetTransparentIndex(f.transparent);
        }
    }
    image.SetScreenSize(static_cast<std::uint16_t>(c.width), static_cast<std::uint16_t>(c.height));
    return image.SaveToBytes();
}

// Decodes every frame; the picture shares the bytes instead of copying them.
std::size_t OurDecode(const SharedBytes& gif, gifcodec::TGIFImageCore& image) {
    image.LoadFromBuffer(gif, false);
    std::size_t pixels = 0;
    for (int i = 0; i < image.FrameCount(); ++i) {
        const gifcodec::TDib& bmp = image.Frame(i).Bitmap();
        pixels += static_cast<std::size_t>(bmp.Width()) * bmp.Height();
    }
    return pixels;
}

// Both decoders give the same pixel values for every frame of the file.
bool SameDecoding(const SharedBytes& gif, const std::string& what) {
    gifcodec::TGIFImageCore image;
    OurDecode(gif, image);
    const Decoded theirs = GiflibDecode(*gif, true);
    bool same = static_cast<int>(theirs.frames.size()) == image.FrameCount();
    for (int i = 0; same && i < image.FrameCount(); ++i) {
        const gifcodec::TDib& bmp = image.Frame(i).Bitmap();
        const std::vector<std::uint8_t>& raster = theirs.frames[i];
        same = raster.size() == static_cast<std::size_t>(bmp.Width()) * bmp.Height();
        for (int y = 0; same && y < bmp.Height(); ++y)
            for (int x = 0; same && x < bmp.Width(); ++x)
                same =
                    bmp.PixelIndex(x, y) == raster[static_cast<std::size_t>(y) * bmp.Width() + x];
    }
    if (!same) std::fprintf(stderr, "%s: the decoders disagree\n", what.c_str());
    return same;
}

// The decoded pixels are the case's own.
bool MatchesCase(const Case& c, const SharedBytes& gif, const std::string& what) {
    gifcodec::TGIFImageCore image;
    OurDecode(gif, image);
    bool same = image.FrameCount() == static_cast<int>(c.frames.size());
    for (int i = 0; same && i < image.FrameCount(); ++i) {
        const gifcodec::TDib& a = image.Frame(i).Bitmap();
        const gifcodec::TDib& b = c.frames[i].dib;
        same = a.Width() == b.Width() && a.Height() == b.Height();
        for (int y = 0; same && y < a.Height(); ++y)
            for (int x = 0; same && x < a.Width(); ++x)
                same = a.PixelIndex(x, y) == b.PixelIndex(x, y);
    }
    if (!same) std::fprintf(stderr, "%s: decoded pixels differ from the picture\n", what.c_str());
    return same;
}

// One case's figures; encodeRatio is 0 for a case that our encoder does not write.
struct Result {
    double decodeRatio = 0;
    double encodeRatio = 0;
    double memoryRatio = 0;
    long theirsKb = 0;
};

// Checks, times and measures one case and prints its line; false when the pixels disagree.
bool RunCase(const Case& c, Result& r) {
    const double mp = static_cast<double>(c.Pixels()) / 1e6;
    const auto peerFile = std::make_shared<const Bytes>(GiflibEncode(c));
    // What is decoded: the given picture, else the peer's (written as other programs do).
    const SharedBytes decoded = c.file.empty() ? peerFile : std::make_shared<const Bytes>(c.file);
    const bool encodes = !c.interlaced;  // our encoder never interlaces
    SharedBytes ourFile;
    if (encodes) ourFile = std::make_shared<const Bytes>(OurEncode(c));
    if (!SameDecoding(decoded, c.name) || !MatchesCase(c, peerFile, c.name + " (giflib's file)") ||
        (ourFile && (!SameDecoding(ourFile, c.name + " (our file)") ||
                     !MatchesCase(c, ourFile, c.name + " (our file)"))))
        return false;

    volatile std::size_t sink = 0;
    const auto ours = [&] {
        gifcodec::TGIFImageCore image;
        sink = sink + OurDecode(decoded, image);
    };
    const auto theirs = [&] { sink = sink + GiflibDecode(*decoded).pixels; };
    const Pair dec = Interleaved(ours, theirs);
    Pair enc{0, 0, 0};
    if (encodes)
        enc = Interleaved([&] { sink = sink + OurEncode(c).size(); },
                          [&] { sink = sink + GiflibEncode(c).size(); });
    const auto [oursKb, theirsKb] = PeakPair(ours, theirs);

    r.decodeRatio = dec.ratio;
    r.encodeRatio = enc.ratio;
    r.theirsKb = theirsKb;
    r.memoryRatio = theirsKb > 0 ? static_cast<double>(oursKb) / theirsKb : 0;
    char encodeText[64] = "-";
    if (encodes)
        std::snprintf(encodeText, sizeof encodeText, "%8.1f %8.1f %6.2f", mp / enc.ours,
                      mp / enc.theirs, enc.ratio);
    std::printf("%-16s %8.1f %8.1f %6.2f   %24s   %8ld %8ld %6.2f\n", c.name.c_str(), mp / dec.ours,
                mp / dec.theirs, dec.ratio, encodeText, oursKb, theirsKb, r.memoryRatio);
    std::fflush(stdout);
    return true;
}

}  // namespace

// With names given, only those cases run.
int main(int argc, char** argv) {
    std::vector<Case> cases = MakeCases(REZAZO_SOURCE_DIR "/resources/art/indicator.gif");
    for (Case& c : MadeCases()) cases.push_back(std::move(c));
    if (argc > 1)
        std::erase_if(cases, [&](const Case& c) {
            return std::find(argv + 1, argv + argc, c.name) == argv + argc;
        });
    if (cases.empty()) {
        std::fprintf(stderr, "gifbench: no such case\n");
        return 1;
    }
    std::printf("%-16s %26s %26s %30s\n", "case", "decode MP/s ours giflib x",
                "encode MP/s ours giflib x", "decode peak kB ours giflib x");
    double decodeLog = 0, encodeLog = 0;
    int encodeCases = 0;
    bool allDecodeMet = true, allEncodeMet = true, allMemoryMet = true;
    Result headline;
    for (const Case& c : cases) {
        Result r;
        if (!RunCase(c, r)) return 1;
        if (&c == &cases.front()) headline = r;
        decodeLog += std::log(r.decodeRatio);
        allDecodeMet = allDecodeMet && r.decodeRatio >= 1.5;
        if (r.encodeRatio > 0) {
            encodeLog += std::log(r.encodeRatio);
            ++encodeCases;
            allEncodeMet = allEncodeMet && r.encodeRatio >= 1.0;
        }
        // Below a few pages the peaks are noise; those cases are reported, not judged.
        if (r.theirsKb >= 256) allMemoryMet = allMemoryMet && r.memoryRatio <= 1.5;
    }
    std::printf("headline (%s): decode x%.2f encode x%.2f\n", cases.front().name.c_str(),
                headline.decodeRatio, headline.encodeRatio);
    std::printf("geomean: decode x%.2f over %zu cases, encode x%.2f over %d cases\n",
                std::exp(decodeLog / cases.size()), cases.size(),
                std::exp(encodeLog / std::max(1, encodeCases)), encodeCases);
    std::printf(
        "goals: decode >= 1.5 per case %s; encode >= 1.0 per case %s; "
        "decode peak <= 1.5 x giflib per case %s\n",
        allDecodeMet ? "met" : "NOT met", allEncodeMet ? "met" : "NOT met",
        allMemoryMet ? "met" : "NOT met");
    return 0;
}
