#include "controls/bannerhooks.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

#include "framework/menus/popuplist.h"

namespace ctl {

using namespace fw;

namespace {
std::set<const TCustomMenuDecorator*>& Alive() {
    static std::set<const TCustomMenuDecorator*> alive;
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

void RegisterDecorator(const TCustomMenuDecorator* d) { Alive().insert(d); }
void UnregisterDecorator(const TCustomMenuDecorator* d) { Alive().erase(d); }

TCustomMenuDecorator* Named(uintptr_t itemData) {
    auto* d = reinterpret_cast<TCustomMenuDecorator*>(itemData);
    return Alive().count(d) ? d : nullptr;
}

namespace {

// A menu item's draw or measure request goes to the decorator its item data names; true
// when the request was a decorator's (a freed decorator's request is dropped).
bool RouteOwnerDraw(TMessage& m) {
    if (m.Msg == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<TDrawItemStruct*>(m.LParam);
        if (!dis || dis->CtlType != ODT_MENU || !dis->itemData) return false;
        if (TCustomMenuDecorator* d = Named(dis->itemData)) d->DrawItemRequest(m);
        return true;
    }
    if (m.Msg == WM_MEASUREITEM) {
        auto* mis = reinterpret_cast<TMeasureItemStruct*>(m.LParam);
        if (m.WParam != 0 || !mis || !mis->itemData) return false;
        if (TCustomMenuDecorator* d = Named(mis->itemData)) d->MeasureItemRequest(m);
        return true;
    }
    return false;
}

}  // namespace

struct PopupHook {
    TCustomPopupDecorator* d;
    void operator()(TMessage& m) const { d->PopupListWndProc(m); }
};
// Access keys

int TCustomMenuDecorator::FindAccelerator(char key, HMENU level) {
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
    if (RouteOwnerDraw(m)) return;
    switch (m.Msg) {
        case WM_SETTINGCHANGE:
            if (defaultFont_) SetDefaultFont(true);
            break;
        case WM_INITMENUPOPUP:
            bannerInvalid_ = true;
            break;
        case WM_MENUCHAR: {
            int pos = FindAccelerator(static_cast<char>(m.WParam & 0xFFFF),
                                      reinterpret_cast<HMENU>(m.LParam));
            if (pos >= 0) {
                m.Result = MakeLong(pos, MNC_EXECUTE);
                return;
            }
            break;
        }
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
    HMENU top = menu_ ? menu_->Handle() : nullptr;
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
    if (RouteOwnerDraw(m)) return;
    switch (m.Msg) {
        case WM_INITMENU:
            PassToPopupList(m);
            SetOwnerDraw(menu_->Items(), false);
            return;
        case WM_INITMENUPOPUP:
            PassToPopupList(m);
            m.Result = 0;
            SetOwnerDraw(menu_->Items(), false);
            bannerInvalid_ = true;
            return;
        case WM_MENUCHAR: {
            int pos = FindAccelerator(static_cast<char>(m.WParam & 0xFFFF),
                                      reinterpret_cast<HMENU>(m.LParam));
            if (pos >= 0) {
                m.Result = MakeLong(pos, MNC_EXECUTE);
                return;
            }
            break;
        }
        case CM_MENUCHANGED:
            PassToPopupList(m);
            SetOwnerDraw(menu_->Items(), false);
            return;
        default:
            break;
    }
    PassToPopupList(m);
}

}  // namespace ctl
