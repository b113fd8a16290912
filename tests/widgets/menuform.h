#pragma once
// A form owning a popup menu and its items, built in code, for the banner menu tests.
#include <memory>
#include <string>

#include "controls_testsupport.h"
#include "framework/controls/forms.h"
#include "widgets/bannermenus.h"

namespace ctltest {

struct MenuForm {
    std::unique_ptr<fw::TForm> form;
    fw::TPopupMenu* menu = nullptr;
    MenuForm() {
        EnsureApp();
        form = std::make_unique<fw::TForm>(nullptr);
        menu = new fw::TPopupMenu(form.get());
    }
    fw::TMenuItem* Add(fw::TMenuItem* parent, const std::string& caption) {
        auto* i = new fw::TMenuItem(form.get());
        i->SetCaption(caption);
        parent->Add(i);
        return i;
    }
    fw::TMenuItem* Add(const std::string& caption) { return Add(menu->Items(), caption); }
    // A decorator on the form with the menus' usual font, not yet given the menu.
    ctl::TPopupDecorator* NewDecorator() {
        auto* d = new ctl::TPopupDecorator(form.get());
        fw::TFont f;
        f.SetName("Small Fonts");
        f.SetHeight(-9);
        f.SetColor(fw::clBlack);
        d->SetFont(&f);
        return d;
    }
};

}  // namespace ctltest
