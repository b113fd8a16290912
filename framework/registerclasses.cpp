#include "framework/classregistry.h"
#include "framework/controls/bevel.h"
#include "framework/controls/simplememo.h"
#include "framework/dialogs.h"
#include "framework/extctrls.h"
#include "framework/forms.h"
#include "framework/graphics.h"
#include "framework/menus.h"
#include "framework/stdctrls.h"

namespace fw {

void RegisterFrameworkClasses() {
    RegisterGraphicsClasses();
    for (const TClassInfo* info :
         {&TForm::StaticClassInfo(), &TDataModule::StaticClassInfo(), &TLabel::StaticClassInfo(),
          &TImage::StaticClassInfo(), &TTimer::StaticClassInfo(), &TPanel::StaticClassInfo(),
          &TMenuItem::StaticClassInfo(), &TPopupMenu::StaticClassInfo(),
          &TFontDialog::StaticClassInfo(), &TBevel::StaticClassInfo(),
          &TSimpleMemo::StaticClassInfo()})
        RegisterClass(*info);
}

}  // namespace fw
