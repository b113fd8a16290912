#include "controls/registercontrols.h"

#include "controls/scrolllabel.h"
#include "controls/trayicon.h"
#include "framework/classregistry.h"

namespace ctl {

void RegisterControlClasses() {
    for (const fw::TClassInfo* info :
         {&TScrollLabel::StaticClassInfo(), &TTrayIcon::StaticClassInfo()})
        fw::RegisterClass(*info);
}

}  // namespace ctl
