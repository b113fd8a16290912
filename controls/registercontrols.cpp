#include "controls/registercontrols.h"

#include "controls/bannermenus.h"
#include "controls/scrolllabel.h"
#include "framework/classregistry.h"

namespace ctl {

void RegisterControlClasses() {
    for (const fw::TClassInfo* info : {&TScrollLabel::StaticClassInfo(), &TPopupDecorator::StaticClassInfo()}) fw::RegisterClass(*info);
}

}  // namespace ctl
