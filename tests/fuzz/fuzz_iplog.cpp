// The IP log reader and writer on arbitrary file contents: a log within the limit loads with
// only its line breaks changed, one over it is refused, what the window shows is valid UTF-8,
// and an Add or a Clear written and read back gives exactly what was meant. Anything else
// is a finding.
#include <fuzzer/FuzzedDataProvider.h>
#include <iconv.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/iplog.h"
#include "tests/fuzz/fuzzcheck.h"

using namespace fuzzcheck;

namespace {

// A directory of its own: every write goes through a temporary file beside the log.
const std::string& ScratchLog() {
    static const std::string path = [] {
        std::string d = ScratchPattern("fuzz_iplog");
        if (!mkdtemp(d.data())) std::abort();
        RemoveAtExit(d);
        return d + "/IP.LOG";
    }();
    return path;
}

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
}

// The C library's converter, not ours, decides what is valid UTF-8.
bool ValidUtf8(const std::string& s) {
    static iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) std::abort();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string in = s;
    char* inp = in.data();
    std::size_t inLeft = in.size();
    while (inLeft > 0) {
        char out[256];
        char* outp = out;
        std::size_t outLeft = sizeof out;
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1) &&
            errno != E2BIG)
            return false;
    }
    return true;
}

bool NoLoneBreak(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n')) return false;
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) return false;
    }
    return true;
}

std::string WithoutBreaks(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::size_t capacity = in.ConsumeIntegralInRange<std::size_t>(0, 4096);
    const std::string ip = in.ConsumeRandomLengthString(40);
    const std::string host = in.ConsumeRandomLengthString(80);
    const std::string raw = in.ConsumeRemainingBytesAsString();
    given = "capacity " + std::to_string(capacity) + " ip " + Shown(ip) + " host " + Shown(host) +
            "\nfile " + Shown(raw);
    const std::string& log = ScratchLog();
    Put(log, raw);

    const std::string normal = app::NormaliseLineBreaks(raw);
    Check(NoLoneBreak(normal), "a lone CR or LF is left");
    Check(WithoutBreaks(normal) == WithoutBreaks(raw), "a byte other than a line break changed");
    Check(app::NormaliseLineBreaks(normal) == normal, "normalising twice changes the text");

    const app::LogContents small = app::ReadLog(log, capacity);
    if (raw.size() > capacity) {
        Check(small.status == app::LogContents::Unreadable, "a log over the limit was loaded");
        Check(!small.reason.empty(), "a refused log says no reason");
    } else {
        Check(small.status == app::LogContents::Loaded, "a log within the limit was not loaded");
        Check(small.bytes == normal, "the loaded log is not the file with CR LF breaks");
    }

    const app::LogContents c = app::ReadLog(log);
    Check(c.status == app::LogContents::Loaded && c.bytes == normal, "the log did not load");
    const std::string display = app::LogDisplayText(c.bytes);
    Check(ValidUtf8(display), "the window is given text that is not UTF-8");
    if (ValidUtf8(c.bytes)) Check(display == c.bytes, "valid text is shown altered");

    // Add: the old bytes, then the record; nothing of the old log is lost.
    const std::string added = c.bytes + app::LogRecord("12:00:00", "1999-01-26", ip, host);
    app::WriteLog(log, added);
    const app::LogContents back = app::ReadLog(log);
    Check(back.status == app::LogContents::Loaded, "an added log does not load");
    Check(back.bytes == app::NormaliseLineBreaks(added), "an added log reads back otherwise");
    Check(back.bytes.compare(0, c.bytes.size(), c.bytes) == 0, "an Add changed the old log");

    // Clear: a zero-byte file that loads as an empty log.
    app::WriteLog(log, "");
    std::ifstream f(log, std::ios::binary | std::ios::ate);
    Check(f && f.tellg() == 0, "a cleared log is not a zero-byte file");
    const app::LogContents empty = app::ReadLog(log);
    Check(empty.status == app::LogContents::Loaded && empty.bytes.empty(),
          "a cleared log does not load empty");
    return 0;
}
