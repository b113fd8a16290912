#pragma once
// The one application object of a test binary, with every class registered.
#include "app/form1.h"
#include "controls/registercontrols.h"
#include "framework/application.h"
#include "framework/classregistry.h"
#include "gif/registergif.h"
#include "settings/propstore.h"

namespace testing_app {

inline fw::TApplication& TestApp() {
    static fw::TApplication* app = [] {
        if (fw::Application) return fw::Application;
        static int argc = 1;
        static char name[] = "test_app";
        static char* argv[] = {name, nullptr};
        auto* a = new fw::TApplication(nullptr);
        a->Initialize(argc, argv);
        fw::RegisterFrameworkClasses();
        ctl::RegisterControlClasses();
        settings::RegisterPropStoreClasses();
        gif::RegisterGifClasses();
        RegisterAppClasses();
        return a;
    }();
    return *app;
}

}  // namespace testing_app
