#include "platform/inifile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "scratch.h"
#include "tests/support/unprivileged.h"

namespace platform {
namespace {

using testing_scratch::ReadAll;
using testing_scratch::TempDir;
using testing_scratch::WriteAll;
using Keys = std::vector<std::string>;

class IniFileTest : public ::testing::Test {
  protected:
    std::string File(const std::string& text) {
        WriteAll(path_, text);
        return path_;
    }
    TempDir dir_;
    std::string path_ = dir_ / "test.ini";
};

TEST_F(IniFileTest, MissingFileReadsAsEmpty) {
    EXPECT_EQ(ReadIniKeys(path_, "TForm1"), Keys{});
    EXPECT_EQ(ReadIniString(path_, "TForm1", "Form1.Left", "dflt"), "dflt");
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(IniFileTest, KeysComeInFileOrderOnceEachFromTheirSectionOnly) {
    File("top=1\n[Other]\nz=0\n[TForm1]\nb=2\n; a=comment\njunk line\na=3\nB=4\n[Next]\nc=5\n");
    EXPECT_EQ(ReadIniKeys(path_, "TForm1"), (Keys{"b", "a"}));
    EXPECT_EQ(ReadIniString(path_, "TForm1", "b"), "2");  // the first of a repeated key
    EXPECT_EQ(ReadIniString(path_, "TForm1", "c", "none"), "none");
    EXPECT_EQ(ReadIniString(path_, "Next", "c"), "5");
}

TEST_F(IniFileTest, SectionsAndKeysMatchWithoutRegardToCase) {
    File("[TForm1]\nLabel1.Font.Height=-8\n");
    EXPECT_EQ(ReadIniKeys(path_, "tform1"), (Keys{"Label1.Font.Height"}));
    EXPECT_EQ(ReadIniString(path_, "TFORM1", "label1.font.height"), "-8");
    WriteIniString(path_, "tForm1", "LABEL1.FONT.HEIGHT", "-11");
    EXPECT_EQ(ReadAll(path_), "[TForm1]\nLABEL1.FONT.HEIGHT=-11\n");
}

TEST_F(IniFileTest, OnlyAMatchingPairOfQuotesIsRemoved) {
    File("[s]\na='x'\nb=\"x\"\nc='x\"\nd='\ne=''\nf=''Arial''\ng='it'#39's'\nh=x'\n");
    EXPECT_EQ(ReadIniString(path_, "s", "a"), "x");
    EXPECT_EQ(ReadIniString(path_, "s", "b"), "x");
    EXPECT_EQ(ReadIniString(path_, "s", "c"), "'x\"");
    EXPECT_EQ(ReadIniString(path_, "s", "d"), "'");
    EXPECT_EQ(ReadIniString(path_, "s", "e", "dflt"), "");
    EXPECT_EQ(ReadIniString(path_, "s", "f"), "'Arial'");
    EXPECT_EQ(ReadIniString(path_, "s", "g"), "it'#39's");
    EXPECT_EQ(ReadIniString(path_, "s", "h"), "x'");
}

TEST_F(IniFileTest, ValuesKeepTheirBytes) {
    WriteIniString(path_, "s", "k", " a=b ;c\t");
    EXPECT_EQ(ReadIniString(path_, "s", "k"), " a=b ;c\t");
    File("[s]\n  spaced  = v \n");
    EXPECT_EQ(ReadIniKeys(path_, "s"), (Keys{"spaced"}));
    EXPECT_EQ(ReadIniString(path_, "s", "spaced"), " v ");
}

TEST_F(IniFileTest, WriteReplacesInPlaceAppendsToSectionOrAddsSection) {
    const std::string before =
        "; settings\n[A]\nx=1\ny=2\n\n[TForm1]\nForm1.Left=227\nstray text\n\n[B]\nz=3\n";
    File(before);
    WriteIniString(path_, "TForm1", "Form1.Left", "300");
    WriteIniString(path_, "TForm1", "Form1.Top", "110");
    WriteIniString(path_, "New", "k", "v");
    EXPECT_EQ(ReadAll(path_),
              "; settings\n[A]\nx=1\ny=2\n\n[TForm1]\nForm1.Left=300\nstray text\n"
              "Form1.Top=110\n\n[B]\nz=3\n[New]\nk=v\n");
}

TEST_F(IniFileTest, FirstWriteCreatesTheFile) {
    WriteIniString(path_, "TForm1", "Timer1.Interval", "60000");
    EXPECT_EQ(ReadAll(path_), "[TForm1]\nTimer1.Interval=60000\n");
}

TEST_F(IniFileTest, EraseRemovesTheSectionAndNothingElse) {
    File("[A]\nx=1\n[TForm1]\na=1\n; note\nb=2\n[B]\nz=3\n[tform1]\nc=4\n");
    EraseIniSection(path_, "TFORM1");
    EXPECT_EQ(ReadAll(path_), "[A]\nx=1\n[B]\nz=3\n");
    EXPECT_EQ(ReadIniKeys(path_, "TForm1"), Keys{});
}

TEST_F(IniFileTest, EraseOfAMissingSectionLeavesTheFileAlone) {
    File("[A]\r\nx=1");
    EraseIniSection(path_, "TForm1");
    EXPECT_EQ(ReadAll(path_), "[A]\r\nx=1");
    EraseIniSection(dir_ / "absent.ini", "TForm1");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "absent.ini"));
}

TEST_F(IniFileTest, ReplaceSectionWritesTheEntriesInOrderAtTheEnd) {
    File("[TForm1]\nold=1\n[B]\nz=3\n");
    ReplaceIniSection(path_, "TForm1", {{"Form1.Left", "227"}, {"Label1.Font.Name", "''Arial''"}});
    EXPECT_EQ(ReadAll(path_), "[B]\nz=3\n[TForm1]\nForm1.Left=227\nLabel1.Font.Name=''Arial''\n");
    EXPECT_EQ(ReadIniString(path_, "TForm1", "Label1.Font.Name"), "'Arial'");
}

TEST_F(IniFileTest, CrlfIsReadAndWrittenBackAsLf) {
    File("[TForm1]\r\nForm1.Left=227\r\nForm1.Top='110'\r\n[B]\r\nz=3\r\n");
    EXPECT_EQ(ReadIniKeys(path_, "TForm1"), (Keys{"Form1.Left", "Form1.Top"}));
    EXPECT_EQ(ReadIniString(path_, "TForm1", "Form1.Left"), "227");
    EXPECT_EQ(ReadIniString(path_, "TForm1", "Form1.Top"), "110");
    WriteIniString(path_, "B", "z", "4");
    EXPECT_EQ(ReadAll(path_), "[TForm1]\nForm1.Left=227\nForm1.Top='110'\n[B]\nz=4\n");
}

TEST_F(IniFileTest, TextThatWouldBreakTheLinesIsRefused) {
    File("[s]\nk=1\n");
    EXPECT_THROW(WriteIniString(path_, "s", "k", "1\n[evil]"), IniWriteError);
    EXPECT_THROW(WriteIniString(path_, "s", "a=b", "1"), IniWriteError);
    EXPECT_THROW(WriteIniString(path_, "s]x", "k", "1"), IniWriteError);
    EXPECT_THROW(WriteIniString(path_, "s", "", "1"), IniWriteError);
    // Keys are read trimmed: after their blanks these would start a header or a comment.
    EXPECT_THROW(WriteIniString(path_, "s", " [x", "]"), IniWriteError);
    EXPECT_THROW(WriteIniString(path_, "s", "\t;x", "1"), IniWriteError);
    EXPECT_EQ(ReadAll(path_), "[s]\nk=1\n");
}

// Found by fuzzing: a section name with blanks around it was written as a header that no
// later read or write matched, so the value was lost and every write added a section.
TEST_F(IniFileTest, SectionNamesMatchTrimmedLikeTheHeaders) {
    File("[ s ]\nk=1\n");
    EXPECT_EQ(ReadIniString(path_, " s", "k"), "1");
    WriteIniString(path_, " s", "k", "2");
    WriteIniString(path_, "s ", "j", "3");
    EXPECT_EQ(ReadAll(path_), "[ s ]\nk=2\nj=3\n");
    EXPECT_EQ(ReadIniKeys(path_, "\ts"), (Keys{"k", "j"}));
}

// The write must fail, say so with the name as given, and keep the old file and no litter.
void ExpectRefusedWrite(const std::string& fileName) {
    try {
        WriteIniString(fileName, "TForm1", "Form1.Left", "1");
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + fileName).c_str());
    }
}

TEST_F(IniFileTest, WriteToAMissingDirectoryThrows) {
    ExpectRefusedWrite(dir_ / "no/such/dir/x.ini");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "no"));
}

TEST_F(IniFileTest, WriteOverSomethingUnreadableThrows) {
    std::filesystem::create_directory(dir_ / "adir");
    ExpectRefusedWrite(dir_ / "adir");
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "adir"));
}

TEST_F(IniFileTest, WriteIntoAnUnwritableDirectoryKeepsTheOldFile) {
    const std::string sub = dir_ / "ro";
    const std::string file = sub + "/rezazo.ini";
    const std::string old = "[TForm1]\nForm1.Left=227\n";
    std::filesystem::create_directory(sub);
    WriteAll(file, old);
    ::chmod(dir_.path().c_str(), 0755);
    ::chmod(file.c_str(), 0644);
    ::chmod(sub.c_str(), 0555);
    if (::geteuid() != 0) {
        ExpectRefusedWrite(file);
    } else {
        int code = testsupport::RunUnprivileged([&] {
            try {
                WriteIniString(file, "TForm1", "Form1.Left", "1");
                return 1;
            } catch (const std::runtime_error& e) {
                return std::string(e.what()) == "Unable to write to " + file ? 0 : 2;
            }
        });
        EXPECT_EQ(code, 0) << "1: no throw, 2: wrong message, 3: setuid failed";
    }
    EXPECT_EQ(ReadAll(file), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sub), {}), 1);
}

}  // namespace
}  // namespace platform
