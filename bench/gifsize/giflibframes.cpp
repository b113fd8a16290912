// giflibframes FILE.gif DIR: giflib's composed frames as DIR/frame-N.ppm (nothing shown is
// black), the form giftool's frames command writes, so the two compare byte for byte.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/gifsize/giflibcompose.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: giflibframes FILE.gif DIR\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    const giflibpeer::Reference ref = giflibpeer::GiflibCompose(bytes);
    if (ref.frames.empty()) {
        std::fprintf(stderr, "giflibframes: giflib cannot read %s\n", argv[1]);
        return 1;
    }
    for (std::size_t i = 0; i < ref.frames.size(); ++i) {
        std::ofstream out(std::string(argv[2]) + "/frame-" + std::to_string(i) + ".ppm",
                          std::ios::binary);
        out << "P6\n" << ref.width << ' ' << ref.height << "\n255\n";
        for (const std::uint32_t p : ref.frames[i]) {
            const char rgb[3] = {char(p & 0xFF), char(p >> 8 & 0xFF), char(p >> 16 & 0xFF)};
            out.write(rgb, 3);
        }
    }
    return 0;
}
