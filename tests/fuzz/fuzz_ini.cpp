// The INI reader and editor on arbitrary file contents: every key it lists can be read back,
// a write that is accepted reads back as written and leaves other sections alone, and a
// section rewritten from what was read lists the same keys. Anything else is a finding.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/inifile.h"
#include "platform/strings.h"
#include "tests/fuzz/fuzzcheck.h"

using namespace platform;
using namespace fuzzcheck;

namespace {

const std::string& ScratchFile() {
    static const std::string path = [] {
        std::string p = ScratchPattern("fuzz_ini");
        const int fd = mkstemp(p.data());
        if (fd < 0) std::abort();
        close(fd);
        RemoveAtExit(p);
        return p;
    }();
    return path;
}

// What a read returns for a stored value: the blanks around it are dropped, then one
// enclosing pair of quotes.
std::string Unquoted(const std::string& stored) {
    const auto b = stored.find_first_not_of(" \t");
    std::string v = b == std::string::npos
                        ? std::string()
                        : stored.substr(b, stored.find_last_not_of(" \t") - b + 1);
    if (v.size() >= 2 && (v.front() == '\'' || v.front() == '"') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A value that no line can hold, so it can only come back as the default.
const std::string kMissing = "\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string section = in.ConsumeRandomLengthString(24);
    const std::string other = in.ConsumeRandomLengthString(24);
    const std::string key = in.ConsumeRandomLengthString(24);
    const std::string value = in.ConsumeRandomLengthString(48);
    const std::string text = in.ConsumeRemainingBytesAsString();
    given = "section " + Shown(section) + " other " + Shown(other) + " key " + Shown(key) +
            " value " + Shown(value) + "\nfile " + Shown(text);
    const std::string& file = ScratchFile();
    {
        std::ofstream f(file, std::ios::binary | std::ios::trunc);
        f << text;
    }

    const std::vector<std::string> keys = ReadIniKeys(file, section);
    std::vector<std::string> values;
    for (const std::string& k : keys) {
        values.push_back(ReadIniString(file, section, k, kMissing));
        Check(values.back() != kMissing, "a listed key cannot be read");
    }

    // Blanks around a section name are not part of it.
    const bool distinct = !SameText(std::string(Trim(section)), std::string(Trim(other)));
    const std::vector<std::string> otherKeys = ReadIniKeys(file, other);
    bool wrote = true;
    try {
        WriteIniString(file, section, key, value);
    } catch (const IniWriteError&) {
        wrote = false;
    }
    if (wrote) {
        Check(ReadIniString(file, section, key, kMissing) == Unquoted(value),
              "a written value does not read back");
        if (distinct)
            Check(ReadIniKeys(file, other) == otherKeys, "a write changed another section");
    }

    // A key the file repeats is read from its first line and written once.
    std::vector<std::string> once;
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        bool seen = false;
        for (const std::string& k : once) seen = seen || SameText(k, keys[i]);
        if (seen) continue;
        once.push_back(keys[i]);
        entries.emplace_back(keys[i], values[i]);
    }
    try {
        ReplaceIniSection(file, section, entries);
        if (!once.empty())
            Check(ReadIniKeys(file, section) == once, "a rewritten section lists other keys");
        for (const auto& [k, v] : entries)
            Check(ReadIniString(file, section, k, kMissing) == Unquoted(v),
                  "a rewritten value does not read back");
    } catch (const IniWriteError&) {
    }
    return 0;
}
