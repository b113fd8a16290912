#include "platform/inifile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

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

TEST_F(IniFileTest, KeysComeInFileOrderAsOftenAsTheFileHasThemFromTheirSectionOnly) {
    File("top=1\n[Other]\nz=0\n[TForm1]\nb=2\n; a=comment\njunk line\na=3\nB=4\n[Next]\nc=5\n");
    EXPECT_EQ(ReadIniKeys(path_, "TForm1"), (Keys{"b", "a", "B"}));
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

TEST_F(IniFileTest, ValuesKeepTheirBytesInsideTheBlanksAroundThem) {
    WriteIniString(path_, "s", "k", " a=b ;c\t");
    EXPECT_EQ(ReadAll(path_), "[s]\nk= a=b ;c\t\n");
    EXPECT_EQ(ReadIniString(path_, "s", "k"), "a=b ;c");
    File("[s]\n  spaced  = v \n");
    EXPECT_EQ(ReadIniKeys(path_, "s"), (Keys{"spaced"}));
    EXPECT_EQ(ReadIniString(path_, "s", "spaced"), "v");
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

// The write must fail, say so with the name as given and why, and keep the old file and no
// litter.
void ExpectRefusedWrite(const std::string& fileName, const std::string& why) {
    try {
        WriteIniString(fileName, "TForm1", "Form1.Left", "1");
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(e.what(), "Unable to write to " + fileName + ": " + why);
    }
}

TEST_F(IniFileTest, WriteToAMissingDirectoryThrows) {
    ExpectRefusedWrite(dir_ / "no/such/dir/x.ini", "No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "no"));
}

TEST_F(IniFileTest, WriteOverSomethingUnreadableThrows) {
    std::filesystem::create_directory(dir_ / "adir");
    ExpectRefusedWrite(dir_ / "adir", "it is a directory");
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
        ExpectRefusedWrite(file, "Permission denied");
    } else {
        int code = testsupport::RunUnprivileged([&] {
            try {
                WriteIniString(file, "TForm1", "Form1.Left", "1");
                return 1;
            } catch (const std::runtime_error& e) {
                return std::string(e.what()) == "Unable to write to " + file + ": Permission denied"
                           ? 0
                           : 2;
            }
        });
        EXPECT_EQ(code, 0) << "1: no throw, 2: wrong message, 3: setuid failed";
    }
    EXPECT_EQ(ReadAll(file), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sub), {}), 1);
}

TEST_F(IniFileTest, BlanksGoBeforeTheQuotePairAndABomBeforeTheFirstSection) {
    File(
        "\xEF\xBB\xBF[TForm1]\r\nLabel1.Font.Name = ''Arial''  \r\n a = \t'x' \r\nb=' y '\r\nc= "
        "\"\r\n");
    std::vector<IniLine> lines = ReadIniSection(path_, "TForm1");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].key, "Label1.Font.Name");
    EXPECT_EQ(lines[0].value, "'Arial'");
    EXPECT_EQ(lines[1].value, "x");
    EXPECT_EQ(lines[2].value, " y ");  // blanks inside the quotes stay
    EXPECT_EQ(lines[3].value, "\"");
    EXPECT_EQ(lines[0].line, 2);  // the header is line 1
    EXPECT_EQ(lines[3].line, 5);
    // Writing keeps the mark and finds the section behind it.
    WriteIniString(path_, "TForm1", "a", "1");
    EXPECT_EQ(ReadAll(path_),
              "\xEF\xBB\xBF[TForm1]\nLabel1.Font.Name = ''Arial''  \na=1\nb=' y '\nc= \"\n");
}

TEST_F(IniFileTest, RepeatedKeysAreReadAsTheFileHasThemWithTheirLines) {
    const std::string text =
        "[x]\nk=0\n[s]\nForm1.Left=1\n\nform1.left=2\nForm1.Top=3\nForm1.Left=4\n";
    std::vector<IniLine> lines = ParseIniSection(text, "S");
    ASSERT_EQ(lines.size(), 4u);
    const std::pair<const char*, int> want[] = {{"1", 4}, {"2", 6}, {"3", 7}, {"4", 8}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(lines[i].value, want[i].first);
        EXPECT_EQ(lines[i].line, want[i].second);
    }
    File(text);
    EXPECT_EQ(ReadIniString(path_, "s", "FORM1.LEFT"), "1");  // the first of them
}

TEST_F(IniFileTest, ALinkIsWrittenThroughAndStaysALink) {
    std::filesystem::create_directory(dir_ / "dotfiles");
    WriteAll(dir_ / "dotfiles/real.ini", "[A]\nx=1\n");
    std::filesystem::create_symlink("dotfiles/real.ini", dir_ / "link.ini");
    std::filesystem::create_symlink("link.ini", dir_ / "link2.ini");
    WriteIniString(dir_ / "link2.ini", "TForm1", "Form1.Left", "300");
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "link.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "link2.ini"));
    EXPECT_EQ(ReadAll(dir_ / "dotfiles/real.ini"), "[A]\nx=1\n[TForm1]\nForm1.Left=300\n");
}

TEST_F(IniFileTest, AReadOnlyFileIsRefusedWhoeverWrites) {
    const std::string old = "[TForm1]\nForm1.Left=227\n";
    File(old);
    ::chmod(path_.c_str(), 0444);
    ExpectRefusedWrite(path_, "Permission denied");  // also as root: the mode is the user's wish
    EXPECT_EQ(ReadAll(path_), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

TEST_F(IniFileTest, AWritableFileInAnUnwritableDirectoryIsWrittenInPlace) {
    const std::string sub = dir_ / "ro";
    const std::string file = sub + "/rezazo.ini";
    std::filesystem::create_directory(sub);
    WriteAll(file, "[TForm1]\nForm1.Left=227\nForm1.Top=110\n");
    ::chmod(dir_.path().c_str(), 0755);
    ::chmod(file.c_str(), 0666);
    ::chmod(sub.c_str(), 0555);
    struct stat before;
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    auto write = [&] {
        try {
            WriteIniString(file, "TForm1", "Form1.Left", "1");
            return 0;
        } catch (const std::exception&) {
            return 1;
        }
    };
    // Root could make the temporary file anyway: the unprivileged child cannot.
    EXPECT_EQ(::geteuid() == 0 ? testsupport::RunUnprivileged(write) : write(), 0);
    EXPECT_EQ(ReadAll(file), "[TForm1]\nForm1.Left=1\nForm1.Top=110\n");
    struct stat after;
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
}

TEST_F(IniFileTest, ATemporaryFileLeftByAKilledWriteIsRemovedByTheNext) {
    File("[A]\nx=1\n");
    WriteAll(dir_ / ".test.ini.Ab3xZ9", "[A]\nx=half");
    WriteAll(dir_ / ".other.ini.Ab3xZ9", "not ours");
    WriteAll(dir_ / ".test.ini.no-six", "not a temporary");
    WriteIniString(path_, "A", "x", "2");
    EXPECT_FALSE(std::filesystem::exists(dir_ / ".test.ini.Ab3xZ9"));
    EXPECT_TRUE(std::filesystem::exists(dir_ / ".other.ini.Ab3xZ9"));
    EXPECT_TRUE(std::filesystem::exists(dir_ / ".test.ini.no-six"));
    EXPECT_EQ(ReadAll(path_), "[A]\nx=2\n");
}

// A writer that holds the lock has read the file and is about to replace it: a second
// writer waits for it and then works on what the first one wrote, so neither section is lost.
TEST_F(IniFileTest, ConcurrentWritersTakeTheLockAndKeepEachOthersSections) {
    File("[Old]\nk=0\n");
    int fd = ::open(path_.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(fd);  // the lock belongs to the parent's descriptor, not to this copy
        try {
            WriteIniString(path_, "Second", "k", "2");
            ::_exit(0);
        } catch (...) {
            ::_exit(1);
        }
    }
    ::usleep(200000);  // room for the child to reach the lock; a slow child proves nothing less
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, WNOHANG), 0) << "the second writer did not wait";
    // The first writer replaces the file (a new inode) and lets go.
    WriteAll(dir_ / "next", "[Old]\nk=0\n[First]\nk=1\n");
    std::filesystem::rename(dir_ / "next", path_);
    ::close(fd);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadAll(path_), "[Old]\nk=0\n[First]\nk=1\n[Second]\nk=2\n");
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

// Whatever is in the file's place, reading never blocks or runs away, says why the file was
// not used, and a write refuses to replace it.
TEST_F(IniFileTest, SomethingOtherThanAFileIsNeitherReadNorReplaced) {
    const std::string big(kIniFileCapacity + 1, 'x');
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        std::string problem;
    } cases[] = {
        {"fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "is not a regular file"},
        {"zero", [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); },
         "is not a regular file"},
        {"dir", [](const std::string& p) { std::filesystem::create_directory(p); },
         "is a directory"},
        {"big", [&](const std::string& p) { WriteAll(p, "[A]\nx=1\n" + big); },
         "is larger than 4194304 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_ / c.name;
        c.make(path);
        std::string problem = "unset";
        EXPECT_TRUE(ReadIniSection(path, "A", &problem).empty());
        EXPECT_EQ(problem, c.problem);
        struct stat before, after;
        ASSERT_EQ(::lstat(path.c_str(), &before), 0);
        EXPECT_THROW(WriteIniString(path, "A", "x", "2"), IniWriteError);
        ASSERT_EQ(::lstat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_size, before.st_size);
    }
    std::string problem = "unset";
    ReadIniSection(dir_ / "missing", "A", &problem);
    EXPECT_EQ(problem, "");
    File("[A]\nx=1\n");
    EXPECT_EQ(testsupport::RunUnprivileged([&] {
                  std::string why;
                  return ReadIniSection(path_, "A", &why).empty() &&
                                 why == "cannot be read: Permission denied"
                             ? 0
                             : 1;
              }),
              0);
}

TEST_F(IniFileTest, StaleTemporariesGoAtStartOnlyOursAndOnlyFiles) {
    File("[A]\nx=1\n");
    WriteAll(dir_ / ".test.ini.Ab3xZ9", "[A]\nx=half");
    std::filesystem::create_directory(dir_ / ".test.ini.Dir123");
    std::filesystem::create_symlink(path_, dir_ / ".test.ini.Link12");
    WriteAll(dir_ / ".other.ini.Ab3xZ9", "not ours");
    RemoveStaleIniTemporaries(path_);
    EXPECT_FALSE(std::filesystem::exists(dir_ / ".test.ini.Ab3xZ9"));
    EXPECT_TRUE(std::filesystem::exists(dir_ / ".test.ini.Dir123"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / ".test.ini.Link12"));
    EXPECT_TRUE(std::filesystem::exists(dir_ / ".other.ini.Ab3xZ9"));
    EXPECT_EQ(ReadAll(path_), "[A]\nx=1\n");
}

}  // namespace
}  // namespace platform
