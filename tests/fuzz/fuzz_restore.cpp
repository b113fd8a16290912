// Restores arbitrary section text onto the real main window, the way a damaged or
// hand-edited rezazo.ini reaches it: the text becomes the TForm1 section of the settings
// file and the window's own store restores it. A refused key is the store's business
// (reported, never shown here); a crash, a hang or runaway memory is a finding.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "framework/app/application.h"
#include "program/mainwindow.h"
#include "program/registerallclasses.h"
#include "settings/propstore.h"
#include "settings/storeerrors.h"
#include "tests/support/fixedhostbackend.h"

namespace {

std::string settingsFile;
TForm1* form = nullptr;
settings::TPropertyStore* store = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char dir[] = "/tmp/rz-fuzz-restore-XXXXXX";
    if (!mkdtemp(dir)) abort();
    setenv("XDG_CONFIG_HOME", dir, 1);
    settingsFile = std::string(dir) + "/rezazo/rezazo.ini";
    // Without the folder every write fails and every input restores from a missing file.
    if (mkdir((std::string(dir) + "/rezazo").c_str(), 0700) != 0) {
        std::perror("fuzz_restore: cannot make the settings folder");
        abort();
    }
    // Made once and never freed: the process ends right after the run, and tearing Qt
    // down under a window that is still alive is no part of what is tested.
    auto* app = new fw::TAppController(nullptr);
    app->Initialize(*argc, *argv);
    RegisterAllClasses();
    // No lookups of the real machine and no message boxes: only the restore is under test.
    static platform::FixedHostBackend host;
    host.hostName = "fuzz-host";
    host.resolved = std::vector<platform::Ipv4>{{10, 0, 0, 7}};
    static platform::ScopedHostBackend use(host);
    settings::SetStoreErrorReporter([](fw::TPropertyObject*, const std::exception&) {});
    form = new TForm1(nullptr);
    store = dynamic_cast<settings::TPropertyStore*>(form->FindComponent("PropertyStore1"));
    if (!store) abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(settingsFile, std::ios::binary | std::ios::trunc);
        out << "[TForm1]\n";
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.close();
        if (!out) {
            std::fprintf(stderr, "fuzz_restore: cannot write %s\n", settingsFile.c_str());
            abort();
        }
    }
    store->Restore();
    return 0;
}
