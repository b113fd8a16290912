// The IP log reader and writer on arbitrary file contents: the end of a log loads as it is,
// however long, what the window shows is valid UTF-8, an Add leaves the old bytes as they
// were with the record after them, and a Clear leaves zero bytes. Anything else is a finding.
#include <fuzzer/FuzzedDataProvider.h>
#include <iconv.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "program/iplog.h"
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
    const std::size_t tail = in.ConsumeIntegralInRange<std::size_t>(0, 4096);
    const std::string ip = in.ConsumeRandomLengthString(40);
    const std::string host = in.ConsumeRandomLengthString(80);
    const std::string raw = in.ConsumeRemainingBytesAsString();
    given = "tail " + std::to_string(tail) + " ip " + Shown(ip) + " host " + Shown(host) +
            "\nfile " + Shown(raw);
    const std::string& log = ScratchLog();
    Put(log, raw);

    const std::string normal = app::NormaliseLineBreaks(raw);
    Check(NoLoneBreak(normal), "a lone CR or LF is left");
    Check(WithoutBreaks(normal) == WithoutBreaks(raw), "a byte other than a line break changed");
    Check(app::NormaliseLineBreaks(normal) == normal, "normalising twice changes the text");

    const app::LogContents end = app::ReadLog(log, tail);
    Check(end.status == app::LogContents::Loaded, "a log did not load");
    Check(end.earlier + end.bytes.size() == raw.size() && end.bytes.size() <= tail + 1 &&
              raw.compare(end.earlier, std::string::npos, end.bytes) == 0,
          "the loaded end is not the file's end");
    const std::string display = app::ShownLog(end.bytes, end.earlier);
    Check(ValidUtf8(display), "the window is given text that is not UTF-8");

    // Add: the old bytes as they were, then the record on a line of its own.
    const std::string record = app::LogRecord("12:00:00", "1999-01-26", ip, host);
    const std::string written = app::AppendLog(log, record);
    std::ifstream back(log, std::ios::binary);
    const std::string now((std::istreambuf_iterator<char>(back)), std::istreambuf_iterator<char>());
    Check(now == raw + written, "an Add changed the old log or wrote something else");
    Check(written == record ||
              (written == "\r\n" + record && raw.back() != '\n' && raw.back() != '\r'),
          "the record is not on a line of its own");

    // Clear: a zero-byte file that loads as an empty log.
    app::ClearLog(log);
    std::ifstream f(log, std::ios::binary | std::ios::ate);
    Check(f && f.tellg() == 0, "a cleared log is not a zero-byte file");
    const app::LogContents empty = app::ReadLog(log);
    Check(empty.status == app::LogContents::Loaded && empty.bytes.empty(),
          "a cleared log does not load empty");
    return 0;
}
