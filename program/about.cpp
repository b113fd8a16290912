#include "program/about.h"

namespace app {

std::vector<std::string> VersionHistory() {
    return {
        "1.82 (December 2026)",
        "- About window: home page and feedback links, tiled background, shadow lettering.",
        "- One drag rule for every frameless window.",
        "- Animated activity indicator beside the address.",
        "- Own GIF reader, writer and encoder; threaded frame timer.",
        "- Settings kept in rezazo.ini and restored at start.",
        "- Main window: address and host name, refresh rates, copying, fonts, compact form, "
        "snapping to the screen edges.",
        "- Property store, component framework and window descriptions.",
        "- Artwork generator: skins, title, glyphs, tray icon.",
        "- First build: host address probe, INI files, settings paths.",
    };
}

}  // namespace app
