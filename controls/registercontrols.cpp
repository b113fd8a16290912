#include "controls/registercontrols.h"

#include "controls/bannermenus.h"
#include "controls/scrolllabel.h"
#include "controls/shadowlabel.h"
#include "controls/tiledbitmap.h"
#include "controls/trayicon.h"
#include "controls/urllabel.h"
#include "framework/core/classregistry.h"

namespace ctl {

void RegisterControlClasses() {
    for (const fw::TClassInfo* info :
         {&TScrollLabel::StaticClassInfo(), &TPopupDecorator::StaticClassInfo(),
          &TURLLabel::StaticClassInfo(), &TTiledBitmap::StaticClassInfo(),
          &TShadowLabel::StaticClassInfo(), &TTrayIcon::StaticClassInfo()})
        fw::RegisterClass(*info);
}

}  // namespace ctl
