// descbench: each window made from its description on the offscreen platform, in CPU time of
// the loading alone (reading the description, making and filling the components, the
// creation handler), interleaved round by round:
//   text    the packed text unpacked, lexed and parsed, pictures decoded from hexadecimal BMP
//   binary  the binary form as the program stores it
//   packed  the binary form packed, unpacked first
// and, apart, reading the description into its tree alone. Medians, then the ratios.
//   descbench [rounds]
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/app/application.h"
#include "framework/text/binaryform.h"
#include "framework/text/componenttext.h"
#include "framework/text/packedtext.h"
#include "program/registerallclasses.h"
#include "resources/descriptiontexts.h"
#include "tests/support/anyhandlerform.h"

namespace {

double CpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A description as stored, packed or not.
struct Stored {
    std::string bytes;
    bool packed;
    template <class F>
    void Use(F&& f) const {
        if (packed)
            f(fw::UnpackText(bytes));
        else
            f(std::string_view(bytes));
    }
};

// CPU seconds from the stored bytes to a made window.
double TimeWindow(const fw::ObjectText& handlers, const Stored& stored) {
    testsupport::TAnyHandlerForm form(handlers);
    const double t0 = CpuSeconds();
    stored.Use([&](std::string_view d) { form.Read(d); });
    return CpuSeconds() - t0;
}

double TimeTree(const Stored& stored) {
    const double t0 = CpuSeconds();
    stored.Use([](std::string_view d) {
        volatile size_t n = fw::ReadDescriptionTree(d).children.size();
        (void)n;
    });
    return CpuSeconds() - t0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 31;
    const auto dir =
        std::filesystem::temp_directory_path() / ("rezazo-descbench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);  // the main window's settings
    fw::TAppController application(nullptr);
    application.Initialize(argc, argv);
    RegisterAllClasses();

    std::printf("%-12s %8s %8s %8s %9s %9s %9s %8s %8s %8s %8s\n", "window", "text_ms", "bin_ms",
                "packed_ms", "bin/text", "pack/bin", "tree_txt", "tree_bin", "text_kb", "bin_kb",
                "pack_kb");
    for (const auto& forms : resources::kDescriptions) {
        const std::string text = forms.text(), binary(forms.binary());
        const Stored ways[] = {
            {fw::PackText(text), true}, {binary, false}, {fw::PackText(binary), true}};
        const fw::ObjectText handlers = fw::ParseComponentText(text);
        std::vector<double> window[3], tree[2];
        TimeWindow(handlers, ways[0]);  // caches and fonts are not put down to the first
        for (int r = 0; r < rounds; ++r)
            for (int k = 0; k < 3; ++k) {
                const int way = (r + k) % 3;  // each way first in turn
                window[way].push_back(TimeWindow(handlers, ways[way]));
                if (way < 2) tree[way].push_back(TimeTree(ways[way]));
            }
        const double t = Median(window[0]), b = Median(window[1]), p = Median(window[2]);
        std::printf("%-12s %8.3f %8.3f %8.3f %9.2f %9.2f %9.3f %8.3f %8.1f %8.1f %8.1f\n",
                    forms.window, t * 1e3, b * 1e3, p * 1e3, b / t, p / b, Median(tree[0]) * 1e3,
                    Median(tree[1]) * 1e3, static_cast<double>(ways[0].bytes.size()) / 1024,
                    static_cast<double>(binary.size()) / 1024,
                    static_cast<double>(ways[2].bytes.size()) / 1024);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
