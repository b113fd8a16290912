#include "widgets/bannerhooks.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

#include "framework/menus/popuplist.h"

namespace ctl {

using namespace fw;

namespace {
std::set<TCustomMenuDecorator*, std::less<>>& Alive() {
    static std::set<TCustomMenuDecorator*, std::less<>> alive;
    return alive;
}

// The popup list's chain, one for the process.
struct PopupChain {
    std::vector<TCustomPopupDecorator*> list;
    int hooked = 0;
    TWindowProcedure first;
};
PopupChain& Chain() {
    static PopupChain chain;
    return chain;
}

}  // namespace

void RegisterDecorator(TCustomMenuDecorator* d) { Alive().insert(d); }
void UnregisterDecorator(TCustomMenuDecorator* d) { Alive().erase(d); }

TCustomMenuDecorator* Named(const void* owner) {
    auto it = Alive().find(owner);
    return it != Alive().end() ? *it : nullptr;
}

// What both hooks answer alike. A menu entry's draw or measure request goes to the
// decorator its owner names (a freed decorator's request is dropped), and a typed
// character matching an access key of this decorator's menu is answered. True when the
// message is consumed.
bool TCustomMenuDecorator::AnswerMenuRequest(TMessage& m) {
    if (const TDrawRequest* r = m.Get<TDrawRequest>(); r && m.Msg == WM_DRAWITEM) {
        if (r->Kind != ODT_MENU || !r->Owner) return false;
        if (TCustomMenuDecorator* d = Named(r->Owner)) d->DrawItemRequest(m);
        return true;
    }
    if (const TMeasureRequest* r = m.Get<TMeasureRequest>(); r && m.Msg == WM_MEASUREITEM) {
        if (r->Kind != ODT_MENU || !r->Owner) return false;
        if (TCustomMenuDecorator* d = Named(r->Owner)) d->MeasureItemRequest(m);
        return true;
    }
    if (TMenuChar* c = m.Get<TMenuChar>(); c && m.Msg == WM_MENUCHAR) {
        const int pos = FindAccelerator(static_cast<char>(c->Key), c->Menu);
        if (pos < 0) return false;
        c->Answer = MNC_EXECUTE;
        c->Position = pos;
        return true;
    }
    return false;
}

struct PopupHook {
    TCustomPopupDecorator* d;
    void operator()(TMessage& m) const { d->PopupListWndProc(m); }
};
// Access keys

int TCustomMenuDecorator::FindAccelerator(char key, TMenuHandle* level) {
    if (Designing() || !menu_) return -1;
    TMenuItem* parent = menu_->Items()->FindByHandle(level);
    if (!parent) return -1;
    const int want = std::toupper(static_cast<unsigned char>(key));
    int position = 0;
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* c = parent->Items(i);
        if (!c->Visible()) continue;
        char k = AccessKeyOf(c->Caption());
        if (c->Enabled() && k && std::toupper(static_cast<unsigned char>(k)) == want)
            return position;
        ++position;
    }
    return -1;
}

// The form hook

void TCustomMenuDecorator::PassToForm(TMessage& m) {
    if (oldFormProc_) oldFormProc_(m);
}

void TCustomMenuDecorator::FormWndProc(TMessage& m) {
    if (!menu_) {
        PassToForm(m);
        return;
    }
    if (AnswerMenuRequest(m)) return;
    switch (m.Msg) {
        case WM_SETTINGCHANGE:
            if (defaultFont_) SetDefaultFont(true);
            break;
        case WM_INITMENUPOPUP:
            bannerInvalid_ = true;
            break;
        case CM_MENUCHANGED:
            SetOwnerDraw(menu_->Items(), false);
            break;
        default:
            break;
    }
    PassToForm(m);
}

// Popup decorators and the popup-list hook

TCustomPopupDecorator::TCustomPopupDecorator(TComponent* owner) : TCustomMenuDecorator(owner) {
    // The popup list always exists here: no search for it is needed.
    PopupChain& chain = Chain();
    chain.hooked += 1;
    hooked_ = true;
    chain.list.push_back(this);
    oldPopupProc_ = PopupList().WindowProc;
    if (chain.hooked == 1) chain.first = PopupList().WindowProc;
    PopupList().WindowProc = PopupHook{this};
}

TCustomPopupDecorator::~TCustomPopupDecorator() {
    PopupChain& chain = Chain();
    if (hooked_) {
        chain.hooked -= 1;
        if (chain.hooked > 0) {
            const PopupHook* current = PopupList().WindowProc.target<PopupHook>();
            if (current && current->d == this) PopupList().WindowProc = oldPopupProc_;
            // Whoever passed on to this decorator now passes on to what it replaced.
            for (TCustomPopupDecorator* d : chain.list) {
                if (d == this) continue;
                const PopupHook* next = d->oldPopupProc_.target<PopupHook>();
                if (next && next->d == this) d->oldPopupProc_ = oldPopupProc_;
            }
        }
    }
    chain.list.erase(std::remove(chain.list.begin(), chain.list.end(), this), chain.list.end());
    if (hooked_ && chain.hooked == 0) {
        PopupList().WindowProc = chain.first;
        chain.first = nullptr;
        chain.list.clear();
    }
}

int TCustomPopupDecorator::HookedCount() { return Chain().hooked; }

TPopupMenu* TCustomPopupDecorator::GetPopupMenu() const { return dynamic_cast<TPopupMenu*>(menu_); }

void TCustomPopupDecorator::SetPopupMenu(TPopupMenu* menu) { SetMenu(menu); }

bool TCustomPopupDecorator::IsBannerItem(TMenuItem* item) const {
    return menu_ && item && item->Parent() == menu_->Items();
}

void TCustomPopupDecorator::ComputeBannerRect() {
    std::vector<TRect> rects;
    TMenuHandle* top = menu_ ? menu_->Handle() : nullptr;
    const int n = top ? GetMenuItemCount(top) : 0;
    for (int i = 0; i < n; ++i) {
        TRect r;
        if (!GetMenuItemRect(form_, top, static_cast<unsigned>(i), r)) {
            rects.clear();
            break;
        }
        rects.push_back(r);
    }
    bannerRect_ = BannerRectFor(BannerAlignment(), BannerWidth(), rects);
}

void TCustomPopupDecorator::PassToPopupList(TMessage& m) {
    if (oldPopupProc_) oldPopupProc_(m);
}

void TCustomPopupDecorator::PopupListWndProc(TMessage& m) {
    if (!menu_) {
        PassToPopupList(m);
        return;
    }
    if (AnswerMenuRequest(m)) return;
    // Openings and menu changes may have rebuilt the entries as plain text: once the
    // chain has seen them, the menu is owner-drawn again.
    switch (m.Msg) {
        case WM_INITMENU:
        case WM_INITMENUPOPUP:
        case CM_MENUCHANGED:
            PassToPopupList(m);
            SetOwnerDraw(menu_->Items(), false);
            if (m.Msg == WM_INITMENUPOPUP) {
                m.Result = 0;
                bannerInvalid_ = true;
            }
            return;
        default:
            break;
    }
    PassToPopupList(m);
}

}  // namespace ctl
