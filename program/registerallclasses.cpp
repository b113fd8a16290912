#include "program/registerallclasses.h"

#include "framework/app/registerclasses.h"
#include "framework/core/classregistry.h"
#include "gif/registergif.h"
#include "program/aboutwindow.h"
#include "program/logwindow.h"
#include "program/mainwindow.h"
#include "settings/propstore.h"
#include "widgets/registerwidgets.h"

void RegisterAllClasses() {
    static const bool registered = [] {
        fw::RegisterFrameworkClasses();
        ctl::RegisterWidgetClasses();
        settings::RegisterPropStoreClasses();
        gif::RegisterGifClasses();
        fw::RegisterClasses({{"TForm1", &TForm1::StaticClassInfo},
                             {"TForm2", &TForm2::StaticClassInfo},
                             {"TForm3", &TForm3::StaticClassInfo}});
        return true;
    }();
    (void)registered;
}
