// The window-description reader on arbitrary text or binary form: parse, create the
// components, apply every property kind (numbers, strings, identifiers, sets, colours, fonts,
// pictures and GIF data, string lists, references, handlers), run the end-of-loading steps,
// write the window back and read that text again. A reader error is the text's own; a crash, a
// sanitizer report or a written window that does not read back as itself is a finding.
#include <QApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "framework/app/registerclasses.h"
#include "framework/core/classregistry.h"
#include "framework/core/exceptions.h"
#include "framework/text/binaryform.h"
#include "framework/text/componenttext.h"
#include "gif/registergif.h"
#include "tests/support/anyhandlerform.h"
#include "widgets/registerwidgets.h"

using namespace fw;

namespace {

using TFuzzForm = testsupport::TAnyHandlerForm;

void Finding(const char* what, const std::string& detail) {
    std::fprintf(stderr, "fuzz_window: %s\n%s\n", what, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    RegisterFrameworkClasses();
    ctl::RegisterWidgetClasses();
    gif::RegisterGifClasses();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ObjectText tree;
    try {
        tree = ReadDescriptionTree(text);
    } catch (const Exception&) {
        return 0;
    }
    std::string written;
    {
        TFuzzForm form(tree);
        try {
            form.Read(text);
        } catch (const Exception&) {
            return 0;
        }
        written = WriteComponentText(form);
    }
    // What the writer produced must read back into the same window.
    std::string again;
    try {
        TFuzzForm form(ParseComponentText(written));
        form.Read(written);
        again = WriteComponentText(form);
    } catch (const Exception& e) {
        Finding("a written window does not read back", std::string(e.what()) + "\n" + written);
    }
    if (again != written)
        Finding("a written window reads back differently", written + "\n--\n" + again);
    return 0;
}
