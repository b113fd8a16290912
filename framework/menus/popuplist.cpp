#include "framework/menus/popuplist.h"

#include "framework/core/appservices.h"
#include "framework/menus/menuengine.h"
#include "framework/menus/menus.h"

namespace fw {

TPopupList::TPopupList() {
    WindowProc = [this](TMessage& m) { WndProc(m); };
}

void TPopupList::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_INITMENUPOPUP:
            // A submenu item's OnClick runs as its level opens.
            if (menu_) {
                const TMenuOpening* o = m.Get<TMenuOpening>();
                TMenuItem* item = o ? menu_->Items()->FindByHandle(o->Menu) : nullptr;
                if (item && item != menu_->Items()) Guarded(item, [item] { item->Click(); });
            }
            break;
        case CM_MENUCHANGED:
            // The open levels follow their items.
            if (TMenuTracker* t = TMenuTracker::Current())
                if (const TMenuChange* c = m.Get<TMenuChange>(); c && &t->Menu() == c->Menu)
                    t->MenuChanged();
            break;
        case WM_MENUSELECT:
            if (const auto& setHint = AppServices().setHint) {
                TMenuItem* item = nullptr;
                const TMenuSelection* s = m.Get<TMenuSelection>();
                if (menu_ && s && s->Menu) item = menu_->Items()->FindByCommand(s->Command);
                setHint(item ? item->Hint() : std::string());
            }
            break;
        default:
            break;
    }
    // What is left goes to the window of the menu's owner, where form hooks see it.
    switch (m.Msg) {
        case WM_INITMENU:
        case WM_INITMENUPOPUP:
        case WM_MENUSELECT:
        case WM_MENUCHAR:
        case WM_MEASUREITEM:
        case WM_DRAWITEM:
        case WM_ENTERMENULOOP:
        case WM_EXITMENULOOP:
            if (menu_)
                if (auto* owner = dynamic_cast<TControl*>(menu_->Owner())) owner->WindowProc(m);
            break;
        default:
            break;
    }
}

TPopupList& PopupList() {
    static TPopupList list;
    return list;
}

TMessage SendPopupList(unsigned msg, TMessageData data) {
    TMessage m{msg, std::move(data)};
    PopupList().WindowProc(m);
    return m;
}

}  // namespace fw
