#include "framework/app/dialogs.h"
#include "framework/controls/bevel.h"
#include "framework/controls/extctrls.h"
#include "framework/controls/forms.h"
#include "framework/controls/memo.h"
#include "framework/controls/stdctrls.h"
#include "framework/core/classregistry.h"
#include "framework/graphics/graphics.h"
#include "framework/menus/menus.h"

namespace fw {

void RegisterFrameworkClasses() {
    RegisterGraphicsClasses();
    for (const TClassInfo* info :
         {&TForm::StaticClassInfo(), &TDataModule::StaticClassInfo(), &TLabel::StaticClassInfo(),
          &TImage::StaticClassInfo(), &TTimer::StaticClassInfo(), &TPanel::StaticClassInfo(),
          &TMenuItem::StaticClassInfo(), &TPopupMenu::StaticClassInfo(),
          &TFontDialog::StaticClassInfo(), &TBevel::StaticClassInfo(), &TMemo::StaticClassInfo()})
        RegisterClass(*info);
}

}  // namespace fw
