#include "framework/app/registerclasses.h"

#include "framework/app/dialogs.h"
#include "framework/controls/bevel.h"
#include "framework/controls/forms.h"
#include "framework/controls/imagepanel.h"
#include "framework/controls/labels.h"
#include "framework/controls/memo.h"
#include "framework/core/classregistry.h"
#include "framework/graphics/graphics.h"
#include "framework/menus/menus.h"

namespace fw {

void RegisterFrameworkClasses() {
    RegisterGraphicsClasses();
    RegisterClasses({{"TForm", &TForm::StaticClassInfo},
                     {"TComponentContainer", &TComponentContainer::StaticClassInfo},
                     {"TLabel", &TLabel::StaticClassInfo},
                     {"TImage", &TImage::StaticClassInfo},
                     {"TTimer", &TTimer::StaticClassInfo},
                     {"TPanel", &TPanel::StaticClassInfo},
                     {"TMenuItem", &TMenuItem::StaticClassInfo},
                     {"TPopupMenu", &TPopupMenu::StaticClassInfo},
                     {"TFontDialog", &TFontDialog::StaticClassInfo},
                     {"TBevel", &TBevel::StaticClassInfo},
                     {"TMemo", &TMemo::StaticClassInfo}});
}

}  // namespace fw
