#include "widgets/registerwidgets.h"

#include "framework/controls/accessible.h"
#include "framework/core/classregistry.h"
#include "widgets/bannermenus.h"
#include "widgets/scrolllabel.h"
#include "widgets/shadowlabel.h"
#include "widgets/tiledbitmap.h"
#include "widgets/trayicon.h"
#include "widgets/urllabel.h"

namespace ctl {

void RegisterWidgetClasses() {
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
