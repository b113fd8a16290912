#include "program/commandline.h"

#include <string_view>

#ifndef REZAZO_VERSION
#define REZAZO_VERSION "unknown"
#endif

namespace app {

StartRequest ReadArguments(int argc, const char* const* argv) {
    StartRequest request;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            request.action = StartAction::Help;
            return request;  // help wins over anything after it, as in most programs
        }
        if (arg == "-V" || arg == "--version") {
            request.action = StartAction::Version;
            return request;
        }
        // A session manager restarts its clients with the toolkit's "-session ID".
        if ((arg == "-session" || arg == "--session") && i + 1 < argc) {
            ++i;
            continue;
        }
        return {StartAction::Refuse, std::string(arg)};
    }
    return request;
}

std::string UsageText() {
    return "Usage: rezazo [--help | --version]\n"
           "Shows this machine's IPv4 address and host name in a small desktop widget.\n"
           "\n"
           "  -h, --help     print this help and exit\n"
           "  -V, --version  print the version and exit\n"
           "\n"
           "Settings are kept in $XDG_CONFIG_HOME/rezazo/rezazo.ini (~/.config/rezazo/).\n"
           "See rezazo(1).\n";
}

std::string VersionText() { return "Rezazo '98 " REZAZO_VERSION "\n"; }

}  // namespace app
