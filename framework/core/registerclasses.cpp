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
    for (const TClassInfo* info :
         {&TForm::StaticClassInfo(), &TComponentContainer::StaticClassInfo(),
          &TLabel::StaticClassInfo(), &TImage::StaticClassInfo(), &TTimer::StaticClassInfo(),
          &TPanel::StaticClassInfo(), &TMenuItem::StaticClassInfo(), &TPopupMenu::StaticClassInfo(),
          &TFontDialog::StaticClassInfo(), &TBevel::StaticClassInfo(), &TMemo::StaticClassInfo()})
        RegisterClass(*info);
}

}  // namespace fw
