// logbench: the log window opening large logs and adding to them on the offscreen platform,
// in CPU time, next to a plain read of the same file (the peer), interleaved; resident size
// after each opening against the file's size.
//   logbench [rounds]
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "framework/app/application.h"
#include "program/iplog.h"
#include "program/logwindow.h"
#include "program/mainwindow.h"
#include "program/registerallclasses.h"

namespace {

double CpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long ResidentKb() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// What any program must do with the file at least: read it whole and look at every byte.
double PeerRead(const std::filesystem::path& file) {
    const double t0 = CpuSeconds();
    std::ifstream f(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    volatile std::size_t lines = 0;
    for (char c : bytes) lines = lines + (c == '\n');
    return CpuSeconds() - t0;
}

std::string Records(std::size_t size) {
    const std::string r =
        "Time : 13:44:12\r\nDate : 09/12/2026\r\nLocal IP : 192.168.10.117\r\n"
        "Hostname : workstation-7\r\n\r\n";
    std::string s;
    s.reserve(size);
    while (s.size() + r.size() <= size) s += r;
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    const auto dir =
        std::filesystem::temp_directory_path() / ("rezazo-logbench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "prog");
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    app::SetProgramDirOverride((dir / "prog").string());
    fw::TAppController application(nullptr);
    application.Initialize(argc, argv);
    RegisterAllClasses();

    // Made one at a time, so that the bench's own copies do not count in the resident size.
    const std::pair<const char*, std::string (*)()> shapes[] = {
        {"records-100MB", [] { return Records(100u * 1000u * 1000u); }},
        {"records-15MB", [] { return Records(15u * 1000u * 1000u); }},
        {"records-1MB", [] { return Records(1000u * 1000u); }},
        {"one-line-1MiB", [] { return std::string(1u << 20, 'a'); }},
        {"one-line-16MiB", [] { return std::string(16u << 20, 'a'); }}};
    fw::ComponentPtr<TForm1> main(new TForm1(nullptr));
    {
        // A first log window on an empty log: what any window costs the first time (fonts,
        // caches) is not put down to the first large log.
        fw::ComponentPtr<TForm2> warm(new TForm2(nullptr, main.get()));
        warm->Show();
        QCoreApplication::processEvents();
    }
    std::printf("%-15s %9s %9s %9s %9s %9s %8s\n", "log", "open_s", "peer_s", "open/peer", "add_s",
                "rss_mb", "rss/file");
    for (int round = 0; round < rounds; ++round) {
        for (const auto& [name, make] : shapes) {
            const auto file = dir / "prog" / app::kLogFileBaseName;
            std::size_t size = 0;
            {
                const std::string bytes = make();
                size = bytes.size();
                std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
            }
            const double peer = PeerRead(file);
            const long rssBefore = ResidentKb();
            double t0 = CpuSeconds();
            fw::ComponentPtr<TForm2> log(new TForm2(nullptr, main.get()));
            log->Show();
            QCoreApplication::processEvents();
            const double open = CpuSeconds() - t0;
            const long rss = ResidentKb();
            t0 = CpuSeconds();
            log->SpeedButton1Click(log.get());
            QCoreApplication::processEvents();
            const double add = CpuSeconds() - t0;
            std::printf("%-15s %9.3f %9.3f %9.1f %9.4f %9.1f %8.2f\n", name, open, peer,
                        open / peer, add, static_cast<double>(rss) / 1024.0,
                        static_cast<double>(rss - rssBefore) * 1024.0 / static_cast<double>(size));
        }
    }
    std::filesystem::remove_all(dir);
    return 0;
}
