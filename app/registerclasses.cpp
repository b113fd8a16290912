#include "app/registerclasses.h"

#include "app/aboutwindow.h"
#include "app/logwindow.h"
#include "app/mainwindow.h"
#include "controls/registercontrols.h"
#include "framework/app/registerclasses.h"
#include "framework/core/classregistry.h"
#include "gif/registergif.h"
#include "settings/propstore.h"

void RegisterAllClasses() {
    static const bool registered = [] {
        fw::RegisterFrameworkClasses();
        ctl::RegisterControlClasses();
        settings::RegisterPropStoreClasses();
        gif::RegisterGifClasses();
        fw::RegisterClasses({{"TForm1", &TForm1::StaticClassInfo},
                             {"TForm2", &TForm2::StaticClassInfo},
                             {"TForm3", &TForm3::StaticClassInfo}});
        return true;
    }();
    (void)registered;
}
