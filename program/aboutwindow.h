#pragma once
// The About window: name, version, the home page and feedback links, the copyright line
// and an editable version history on a tiled background, dragged by its title strip.
#include "framework/controls/forms.h"
#include "framework/menus/menus.h"
#include "program/windowdrag.h"

namespace ctl {
class TURLLabel;
class TShadowLabel;
}  // namespace ctl
namespace fw {
class TMemo;
class TLabel;
class TPanel;
}  // namespace fw

class TForm3 : public fw::TForm {
    FW_CLASS(TForm3)
  public:
    explicit TForm3(fw::TComponent* owner);
    ~TForm3() override;

    ctl::TURLLabel* URLLabel1 = nullptr;
    ctl::TURLLabel* URLLabel2 = nullptr;
    fw::TLabel* Label4 = nullptr;
    fw::TMemo* Memo1 = nullptr;
    fw::TPanel* Panel1 = nullptr;
    ctl::TShadowLabel* ShadowLabel1 = nullptr;
    ctl::TShadowLabel* ShadowLabel2 = nullptr;
    fw::TMenuItem* SnapToEdge1 = nullptr;

    void FormCreate(fw::TPropertyObject* Sender);
    // Escape closes the window, as its close glyph does.
    bool WindowKey(fw::TWindowKey key) override;
    void ShadowLabel1Click(fw::TPropertyObject* Sender);
    void Panel1MouseDown(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                         fw::TModifierState Shift, int X, int Y);
    void Panel1MouseMove(fw::TPropertyObject* Sender, fw::TModifierState Shift, int X, int Y);
    void Panel1MouseUp(fw::TPropertyObject* Sender, fw::TMouseButton Button,
                       fw::TModifierState Shift, int X, int Y);

  private:
    app::TWindowDrag drag_;
};

// The About window of the running program (null before it is made and after it is gone).
extern TForm3* Form3;
