#include "platform/paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/inifile.h"
#include "scratch.h"

namespace platform {
namespace {

using testing_scratch::EnvOverride;
using testing_scratch::ReadAll;
using testing_scratch::TempDir;

TEST(SettingsPath, BareNameGoesToXdgConfigHome) {
    TempDir dir;
    EnvOverride xdg("XDG_CONFIG_HOME", dir.path() + "/cfg/");
    EXPECT_EQ(SettingsDir(), dir.path() + "/cfg/rezazo");
    EXPECT_EQ(SettingsFilePath("rezazo.ini"), dir.path() + "/cfg/rezazo/rezazo.ini");

    // Nothing to change, nothing created.
    EraseIniSection("rezazo.ini", "TForm1");
    EXPECT_FALSE(std::filesystem::exists(dir / "cfg"));

    // Created on the first write, parents included.
    WriteIniString("rezazo.ini", "TForm1", "Compact1.Checked", "True");
    EXPECT_EQ(ReadAll(dir / "cfg/rezazo/rezazo.ini"), "[TForm1]\nCompact1.Checked=True\n");
    EXPECT_EQ(ReadIniString("REZAZO.INI", "TForm1", "Compact1.Checked", "?"), "?");
    EXPECT_EQ(ReadIniString("rezazo.ini", "TForm1", "Compact1.Checked"), "True");
}

TEST(SettingsPath, WithoutXdgConfigHomeUsesDotConfig) {
    TempDir home;
    EnvOverride h("HOME", home.path());
    for (std::optional<std::string> value : {std::optional<std::string>(), {""}, {"rel/dir"}}) {
        EnvOverride xdg("XDG_CONFIG_HOME", value);
        EXPECT_EQ(SettingsFilePath("rezazo.ini"), home.path() + "/.config/rezazo/rezazo.ini");
    }
    EnvOverride xdg("XDG_CONFIG_HOME", std::nullopt);
    WriteIniString("rezazo.ini", "TForm1", "off1.Checked", "False");
    EXPECT_TRUE(std::filesystem::is_regular_file(home / ".config/rezazo/rezazo.ini"));
}

TEST(SettingsPath, NameWithADirectoryIsUsedAsItIs) {
    EnvOverride xdg("XDG_CONFIG_HOME", "/somewhere");
    EXPECT_EQ(SettingsFilePath("./rezazo.ini"), "./rezazo.ini");
    EXPECT_EQ(SettingsFilePath("/etc/x.ini"), "/etc/x.ini");
    EXPECT_EQ(SettingsFilePath("sub/x.ini"), "sub/x.ini");
}

TEST(SettingsPath, UnwritableSettingsDirectoryReportsTheBareName) {
    TempDir dir;
    testing_scratch::WriteAll(dir / "file", "x");
    EnvOverride xdg("XDG_CONFIG_HOME", dir / "file");  // a file where a directory must go
    try {
        WriteIniString("rezazo.ini", "TForm1", "k", "v");
        ADD_FAILURE() << "no exception";
    } catch (const IniWriteError& e) {
        EXPECT_STREQ(e.what(), "Unable to write to rezazo.ini: it cannot be read: Not a directory");
    }
}

TEST(ExecutablePaths, NameTheTestBinary) {
    EXPECT_EQ(ExecutableName(), "test_platform");
    EXPECT_TRUE(std::filesystem::exists(ExecutableDir() + "/" + ExecutableName()));
}

}  // namespace
}  // namespace platform
