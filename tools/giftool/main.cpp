// giftool: inspects GIF pictures, writes their composed frames, encodes animations and
// re-saves pictures through the codec.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/giftool/commands.h"

namespace {

int Usage() {
    std::cerr << "usage: giftool info FILE\n"
                 "       giftool frames FILE DIR\n"
                 "       giftool encode [--delay MS] OUT.gif IN.ppm...\n"
                 "       giftool copy IN.gif OUT.gif\n";
    return 1;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) return Usage();
    const std::string& command = args[0];
    if (command == "info" && args.size() == 2) return giftool::Info(args[1], std::cout);
    if (command == "frames" && args.size() == 3) return giftool::Frames(args[1], args[2]);
    if (command == "copy" && args.size() == 3) return giftool::Copy(args[1], args[2]);
    if (command == "encode") {
        int delay = 500;
        std::vector<std::string> files;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--delay" && i + 1 < args.size()) {
                const std::string& value = args[++i];
                char* end = nullptr;
                const long ms = std::strtol(value.c_str(), &end, 10);
                if (value.empty() || *end != '\0' || ms < 0 || ms > 65535) {
                    std::cerr << "giftool: delay must be 0 to 65535 ms\n";
                    return 1;
                }
                delay = static_cast<int>(ms);
            } else {
                files.push_back(args[i]);
            }
        }
        if (files.size() < 2) return Usage();
        return giftool::Encode(files[0], {files.begin() + 1, files.end()}, delay);
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "giftool: " << e.what() << '\n';
        return 1;
    }
}
