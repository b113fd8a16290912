// artgen OUTDIR: draws the program's pictures into OUTDIR.
// artgen --icons OUTDIR: draws the desktop icon at every theme size, OUTDIR/rezazo-SIZE.png.
#include <cstdio>
#include <exception>
#include <string>

#include "tools/artgen/artwork.h"
#include "tools/artgen/imagefiles.h"

int main(int argc, char** argv) {
    const bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: %s [--icons] OUTDIR\n", argv[0]);
        return 2;
    }
    using namespace artgen;
    const std::string dir = std::string(argv[argc - 1]) + "/";
    try {
        if (icons) {
            for (int size : kAppIconSizes) {
                SaveFile(dir + "rezazo-" + std::to_string(size) + ".png",
                         EncodePng(MakeAppIcon(size)));
            }
            return 0;
        }
        SaveFile(dir + "skin_full.bmp", EncodeBmp24(MakeFullSkin()));
        SaveFile(dir + "skin_compact.bmp", EncodeBmp24(MakeCompactSkin()));
        SaveFile(dir + "title_bright.bmp", EncodeBmp24(MakeTitle(true)));
        SaveFile(dir + "title_dim.bmp", EncodeBmp24(MakeTitle(false)));
        SaveFile(dir + "glyphs.bmp", EncodeBmp24(MakeGlyphStrip()));
        SaveFile(dir + "trayicon.bmp", EncodeBmp32(MakeTrayIcon()));
        SaveFile(dir + "checkmark.bmp", EncodeBmp4(MakeCheckMark()));
        SaveFile(dir + "radiomark.bmp", EncodeBmp4(MakeRadioMark()));
        SaveFile(dir + "about_tile.bmp", EncodeBmpIndexed(MakeAboutTile(), 8));
        SaveFile(dir + "handcursor.bmp", EncodeBmpIndexed(MakeHandCursor(), 1));
        SaveFile(dir + "logskin.bmp", EncodeBmp24(MakeLogSkin()));
        for (int i = 0; i < kIndicatorFrames; ++i) {
            SaveFile(dir + "indicator-" + std::to_string(i) + ".ppm",
                     EncodePpm(MakeIndicatorFrame(i)));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
