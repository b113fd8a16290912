#include "controls/registercontrols.h"

#include "controls/bannermenus.h"
#include "controls/scrolllabel.h"
#include "controls/shadowlabel.h"
#include "controls/tiledbitmap.h"
#include "controls/trayicon.h"
#include "controls/urllabel.h"
#include "framework/controls/accessible.h"
#include "framework/core/classregistry.h"

namespace ctl {

void RegisterControlClasses() {
    fw::RegisterClasses({{"TScrollLabel", &TScrollLabel::StaticClassInfo},
                         {"TPopupDecorator", &TPopupDecorator::StaticClassInfo},
                         {"TURLLabel", &TURLLabel::StaticClassInfo},
                         {"TTiledBitmap", &TTiledBitmap::StaticClassInfo},
                         {"TShadowLabel", &TShadowLabel::StaticClassInfo},
                         {"TTrayIcon", &TTrayIcon::StaticClassInfo}});
    // A link opens its address on a click of its own, with no handler bound.
    fw::SetClickRoleQuery([](const fw::TControl& c) {
        auto* link = dynamic_cast<const TURLLabel*>(&c);
        return link && link->LinkState() ? fw::TClickRole::Link : fw::HandlerClickRole(c);
    });
}

}  // namespace ctl
