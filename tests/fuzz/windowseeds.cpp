// windowseeds DIR: the program's own window descriptions, pictures embedded, as text and in
// the binary form the program reads, plus a few small windows that reach the property kinds
// the main window does not use.
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "resources/descriptiontexts.h"

namespace {

constexpr std::string_view kSmall[] = {
    "object Form: TForm\n"
    "  Left = -5\n  Caption = 'x'#39'y'#13#10\n  Color = $00FF8000\n  Visible = False\n"
    "  object Panel1: TPanel\n    Align = alTop\n    Font.Style = [fsBold, fsItalic]\n"
    "    Font.Color = clHighlight\n    Hint = ''\n    ShowHint = True\n"
    "    object Label1: TLabel\n      Caption = 'a'\n      AutoSize = False\n"
    "      PopupMenu = Menu1\n    end\n  end\n"
    "  object Menu1: TPopupMenu\n    object Item1: TMenuItem\n      Caption = '&Go'\n"
    "      RadioItem = True\n      OnClick = Item1Click\n    end\n  end\n"
    "  object FontDialog1: TFontDialog\n    Font.Name = 'Arial'\n    Font.Height = -11\n"
    "    Options = [fdEffects, fdForceFontExist, fdApplyButton]\n  end\nend\n",
    "object Form: TForm\n  object Timer1: TTimer\n    Interval = 0\n    Enabled = False\n"
    "    OnTimer = Timer1Timer\n  end\n  object Image1: TImage\n    Stretch = True\n"
    "    Picture.Data = {\n      07544269746D617000}\n  end\nend\n",
};

void Save(const std::string& path, std::string_view text) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!f) std::fprintf(stderr, "windowseeds: cannot write %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string dir = argv[1];
    Save(dir + "/mainwindow.window", resources::MainwindowDescriptionText());
    for (const auto& forms : resources::kDescriptions)
        Save(dir + "/" + forms.window + ".binary", forms.binary());
    int n = 0;
    for (std::string_view text : kSmall)
        Save(dir + "/small" + std::to_string(n++) + ".window", text);
    return 0;
}
