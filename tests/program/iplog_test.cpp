// The IP log: its file rules without a window, and the log window loaded from its
// description next to a main window, with Add and Clear on real files.
#include "program/iplog.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "framework/app/application.h"
#include "framework/app/dialogs.h"
#include "framework/core/exceptions.h"
#include "platform/localetext.h"
#include "platform/paths.h"
#include "program/logwindow.h"
#include "program/mainwindow.h"
#include "tests/program/app_support.h"
#include "tests/support/fixedhostbackend.h"
#include "tests/support/unprivileged.h"
#include "widgets/scrolllabel.h"

namespace fs = std::filesystem;

namespace {

void EnsureApp() { testapp::App(); }

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// The lines of a CR LF text; fails the test on a bare CR or LF.
std::vector<std::string> CrLfLines(const std::string& s) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < s.size()) {
        std::size_t end = s.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "unterminated line in " << s;
        if (end == std::string::npos) break;
        std::string line = s.substr(at, end - at);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        lines.push_back(line);
        at = end + 2;
    }
    return lines;
}

// --- the file rules, no window ----------------------------------------------------------

TEST(IpLogFile, LoneCrAndLfBecomeCrLfAndOtherBytesStay) {
    EXPECT_EQ(app::NormaliseLineBreaks("a\rb\nc\r\nd\n\re"), "a\r\nb\r\nc\r\nd\r\n\r\ne");
    EXPECT_EQ(app::NormaliseLineBreaks(std::string("\xE9\0\xFF\r", 4)),
              std::string("\xE9\0\xFF\r\n", 5));
    EXPECT_EQ(app::NormaliseLineBreaks(""), "");
}

TEST(IpLogFile, ARecordIsFiveCrLfLinesWithTheCaptionsAsShown) {
    EXPECT_EQ(
        app::LogRecord("14:03:27", "26.01.99", "Local IP : 10.0.0.7", "box"),
        "Time : 14:03:27\r\nDate : 26.01.99\r\nLocal IP : 10.0.0.7\r\nHostname : box\r\n\r\n");
    // A failed lookup shows the prefix alone, and that is what is recorded.
    EXPECT_EQ(CrLfLines(app::LogRecord("t", "d", "Local IP : ", "")),
              (std::vector<std::string>{"Time : t", "Date : d", "Local IP : ", "Hostname : ", ""}));
}

TEST(IpLogFile, TheLogLiesBesideTheProgramWhateverTheWorkingDirectory) {
    app::SetProgramDirOverride("");
    const std::string expected = platform::ExecutableDir() + "/IP.LOG";
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_EQ(app::LogFileName(), expected);
    ASSERT_EQ(chdir(cwd), 0);
}

TEST(IpLogFile, AnUnwritableProgramDirectorySendsTheLogToTheDataDirectory) {
    fs::path dir = fs::temp_directory_path() / ("rz-iplog-prog-" + std::to_string(getpid()));
    fs::path data = fs::temp_directory_path() / ("rz-iplog-data-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::create_directories(data);
    fs::permissions(dir, fs::perms(0755));              // root's: closed to the unprivileged user
    ASSERT_EQ(::chown(data.c_str(), 65534, 65534), 0);  // the user's data home
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const std::string writableAnswer = platform::ProgramDataFilePath(dir.string(), "IP.LOG");
    int code = testsupport::RunUnprivileged([&] {
        std::string p = platform::ProgramDataFilePath(dir.string(), "IP.LOG");
        if (p != data.string() + "/rezazo/IP.LOG") return 1;
        // The data directory is made on the first write.
        try {
            app::AppendLog(p, "x\r\n");
        } catch (...) {
            return 2;
        }
        return app::ReadLog(p).bytes == "x\r\n" ? 0 : 4;
    });
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(writableAnswer, dir.string() + "/IP.LOG");  // root may write there
    fs::remove_all(dir);
    fs::remove_all(data);
}

TEST(IpLogFile, ALogThatCannotBeReadSaysWhyAndAMissingOneIsNoError) {
    fs::path dir = fs::temp_directory_path() / ("rz-iplog-read-" + std::to_string(getpid()));
    fs::create_directories(dir);
    EXPECT_EQ(app::ReadLog((dir / "IP.LOG").string()).status, app::LogContents::Missing);

    fs::create_directories(dir / "IP.LOG");  // not a regular file
    auto c = app::ReadLog((dir / "IP.LOG").string());
    EXPECT_EQ(c.status, app::LogContents::Unreadable);
    EXPECT_EQ(c.reason, "not a regular file");
    fs::remove(dir / "IP.LOG");

    // A named pipe must not hang the start-up.
    ASSERT_EQ(mkfifo((dir / "IP.LOG").c_str(), 0600), 0);
    EXPECT_EQ(app::ReadLog((dir / "IP.LOG").string()).status, app::LogContents::Unreadable);
    fs::remove(dir / "IP.LOG");

    // However long, the log loads by its end, with a byte to spare to find a line's start.
    WriteAll(dir / "IP.LOG", std::string(90, 'x') + "0123456789");
    c = app::ReadLog((dir / "IP.LOG").string(), 9);
    EXPECT_EQ(c.status, app::LogContents::Loaded);
    EXPECT_EQ(c.bytes, "0123456789");
    EXPECT_EQ(c.earlier, 90u);
    c = app::ReadLog((dir / "IP.LOG").string(), 100);
    EXPECT_EQ(c.bytes.size(), 100u);
    EXPECT_EQ(c.earlier, 0u);

    fs::permissions(dir / "IP.LOG", fs::perms::none);
    int code = testsupport::RunUnprivileged([&] {
        auto r = app::ReadLog((dir / "IP.LOG").string());
        return r.status == app::LogContents::Unreadable && !r.reason.empty() ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    fs::remove_all(dir);
}

TEST(IpLogFile, StartUpMakesAnEmptyLogOnlyWhereThereIsNone) {
    fs::path dir = fs::temp_directory_path() / ("rz-iplog-make-" + std::to_string(getpid()));
    const std::string path = (dir / "sub" / "IP.LOG").string();
    EXPECT_TRUE(app::CreateLogIfMissing(path)) << "its directory is made too";
    EXPECT_EQ(ReadAll(path), "");

    WriteAll(path, "kept\r\n");
    EXPECT_FALSE(app::CreateLogIfMissing(path));
    EXPECT_EQ(ReadAll(path), "kept\r\n");

    // What the log window would refuse to read stays as it is, and nothing waits on a pipe.
    fs::remove(path);
    fs::create_directories(path);
    EXPECT_FALSE(app::CreateLogIfMissing(path));
    EXPECT_TRUE(fs::is_directory(path));
    fs::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(app::CreateLogIfMissing(path));
    EXPECT_TRUE(fs::is_fifo(path));
    fs::remove_all(dir);
}

// Where a write goes and what it must leave alone, for each shape of IP.LOG on disk.
TEST(IpLogFile, WritesGoThroughLinksAndNeverOverAReadOnlyLog) {
    const fs::path dir = fs::temp_directory_path() / ("rz-iplog-write-" + std::to_string(getpid()));
    const fs::path log = dir / "prog" / "IP.LOG", target = dir / "target" / "real.log";
    struct Case {
        const char* name;
        std::function<void()> make;
        bool written;        // the write succeeds
        fs::path holds;      // the file that then holds the new bytes (or still the old)
        const char* reason;  // part of the message when refused
    } cases[] = {
        {"link",
         [&] {
             WriteAll(target, "old");
             fs::create_symlink("../target/real.log", log);
         },
         true, target, ""},
        {"dangling link", [&] { fs::create_symlink(target, log); }, true, target, ""},
        {"read-only",
         [&] {
             WriteAll(log, "old");
             fs::permissions(log, fs::perms::owner_read);
         },
         false, log, "Permission denied"},
        {"read-only target",
         [&] {
             WriteAll(target, "old");
             fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
             fs::create_symlink(target, log);
         },
         false, target, "Permission denied"},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir);
        fs::create_directories(dir / "prog");
        fs::create_directories(dir / "target");
        c.make();
        try {
            app::ClearLog(log.string());
            app::AppendLog(log.string(), "new");
            EXPECT_TRUE(c.written) << c.name;
        } catch (const fw::EFCreateError& e) {
            EXPECT_FALSE(c.written) << c.name << ": " << e.what();
            EXPECT_EQ(std::string(e.what()), "Cannot create file " + log.string() + ": " + c.reason)
                << c.name;
        }
        EXPECT_EQ(ReadAll(c.holds), c.written ? "new" : "old") << c.name;
        EXPECT_EQ(fs::is_symlink(log), c.holds != log) << c.name << ": the link was replaced";
    }
    fs::remove_all(dir);
}

// A linked log is read and written only where nobody else can steer the link: the link, the
// folders on the way and the file the user's or root's, no folder open to others' writes
// unless sticky. Another user is a uid of nobody's, given with chown: those cases need root.
TEST(IpLogFile, LinksAnotherUserCouldSteerAreNotFollowed) {
    const fs::path dir = fs::temp_directory_path() / ("rz-iplog-steer-" + std::to_string(getpid()));
    const fs::path prog = dir / "prog", log = prog / "IP.LOG", target = dir / "real.log";
    const struct {
        uid_t link, folder, target;  // owners; 0 leaves the file the running user's
        unsigned folderMode;
        std::string refusal;  // part of the reason, empty when the link is followed
    } cases[] = {{0, 0, 0, 01777, ""},
                 {0, 0, 0, 0777, "lies in " + prog.string() + ", a folder other users may"},
                 {54321, 0, 0, 0755, "is reached through " + log.string() + ", a link another"},
                 {0, 54321, 0, 0755, "lies in " + prog.string() + ", a folder another user"},
                 {0, 0, 54321, 0755, "is " + target.string() + ", a file of another user's"}};
    for (const auto& c : cases) {
        if ((c.link || c.folder || c.target) && ::geteuid() != 0) continue;
        fs::remove_all(dir);
        fs::create_directories(prog);
        WriteAll(target, "old\n");
        fs::create_symlink(target, log);
        const auto give = [](const fs::path& p, uid_t to) {
            EXPECT_TRUE(to == 0 || ::lchown(p.c_str(), to, -1) == 0) << p;
        };
        give(log, c.link);
        give(prog, c.folder);
        give(target, c.target);
        fs::permissions(prog, fs::perms(c.folderMode));
        const std::string& refusal = c.refusal;
        const app::LogContents read = app::ReadLog(log.string());
        EXPECT_EQ(read.status == app::LogContents::Loaded, refusal.empty()) << read.reason;
        EXPECT_EQ(read.reason.rfind("it " + refusal, 0), refusal.empty() ? std::string::npos : 0u)
            << read.reason;
        std::string said;
        try {
            app::AppendLog(log.string(), "new");
        } catch (const fw::EFCreateError& e) {
            said = e.what();
        }
        EXPECT_EQ(said.empty(), refusal.empty()) << said;
        EXPECT_NE(said.find(refusal), std::string::npos) << said;
        EXPECT_EQ(ReadAll(target), refusal.empty() ? "old\nnew" : "old\n") << refusal;
        EXPECT_TRUE(fs::is_symlink(log));
    }
    // An ordinary user's own link to their own file, in their own folder, is followed.
    if (::geteuid() == 0) {
        for (const fs::path& p : {prog, log, target})
            ASSERT_EQ(::lchown(p.c_str(), 65534, 65534), 0);
        fs::permissions(prog, fs::perms(0755));
        EXPECT_EQ(testsupport::RunUnprivileged([&] {
                      app::AppendLog(log.string(), "own");
                      return app::ReadLog(log.string()).bytes == "old\nown" ? 0 : 1;
                  }),
                  0);
    }
    fs::remove_all(dir);
}

// A write that fails leaves the log as it was.
TEST(IpLogFile, AFailedAddTakesItsOwnBytesBack) {
    const fs::path dir = fs::temp_directory_path() / ("rz-iplog-add-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string log = (dir / "IP.LOG").string();
    // A file-size limit lower than the log plus the record: the write is cut short.
    WriteAll(log, std::string(4000, 'x') + "\n");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            app::AppendLog(log, std::string(500, 'r'));
        } catch (const fw::EFCreateError&) {
            ::_exit(0);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the short write was not reported";
    EXPECT_EQ(ReadAll(log), std::string(4000, 'x') + "\n");
    fs::remove_all(dir);
}

// The window shows every log quickly: long lines cut, a long log by its end from a line's start.
TEST(IpLogFile, WhatTheWindowShowsIsBoundedWhateverTheLogHolds) {
    const std::string longLine(app::kShownLineLength + 5000, 'a');
    const std::string cut = std::string(app::kShownLineLength, 'a') + "\xE2\x80\xA6";
    EXPECT_EQ(app::ShownLog(longLine + "\r\nnext\r\n"), cut + "\r\nnext\r\n");
    EXPECT_EQ(app::ShownLog(longLine), cut);
    std::string records;
    while (records.size() <= app::kShownLogTail) records += "Time : 1\r\nHost : h\r\n";
    const std::string shown = app::ShownLog(records);
    const std::size_t first = shown.find("\r\n") + 2;
    EXPECT_EQ(shown.compare(first, 4, "Time") == 0 || shown.compare(first, 4, "Host") == 0, true);
    EXPECT_EQ(records.substr(records.size() - (shown.size() - first)), shown.substr(first));
}

TEST(IpLogFile, BytesThatAreNotTextAreShownAsLatin1ButKeptAsTheyAre) {
    const struct {
        const char* bytes;
        const char* shown;
    } cases[] = {
        {"caf\xE9", "caf\xC3\xA9"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},  // valid UTF-8 stays
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        // An encoded surrogate, an overlong slash, a code point past U+10FFFF and a cut-off
        // sequence are not UTF-8: each of their bytes is a Latin-1 character.
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},
        {"x\xE2\x82", "x\xC3\xA2\xC2\x82"},
    };
    for (const auto& c : cases) EXPECT_EQ(app::LogDisplayText(c.bytes), c.shown) << c.bytes;
}

TEST(LocaleText, TimeAndDateFollowTheLocaleWithoutTheZone) {
    platform::ClockTime t{1999, 1, 26, 14, 3, 27};
    EXPECT_EQ(platform::LongTimeText(t, "de_DE"), "14:03:27");
    EXPECT_EQ(platform::ShortDateText(t, "de_DE"), "26.01.99");
    // Newer locale data puts a narrow no-break space before the day period.
    const std::string us = platform::LongTimeText(t, "en_US");
    EXPECT_TRUE(us == "2:03:27 PM" || us == "2:03:27\u202fPM") << us;
    EXPECT_EQ(platform::ShortDateText(t, "en_US"), "1/26/99");
    // The C locale's short date names the month: the numeric form stands in.
    EXPECT_EQ(platform::ShortDateText(t, "C"), "1999-01-26");
    const std::string c = platform::LongTimeText(t, "C");
    EXPECT_EQ(c, "14:03:27");
}

// --- the window --------------------------------------------------------------------------

class LogWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("rezazo-form2-" + std::to_string(getpid()));
        fs::create_directories(dir_ / "config");
        fs::create_directories(dir_ / "prog");
        setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
        app::SetProgramDirOverride((dir_ / "prog").string());
        EnsureApp();
        host_.hostName = "test-host";
        host_.resolved = std::vector<platform::Ipv4>{{10, 0, 0, 7}};
        fw::SetMessageBoxRunner(
            [this](const std::string& msg, fw::TMessageBoxKind type, unsigned buttons) {
                boxes_.push_back(msg);
                boxTypes_.push_back(type);
                boxButtons_.push_back(buttons);
                return answer_;
            });
    }
    void TearDown() override {
        log_.reset();
        if (main_) testapp::SettleProbe(*main_);  // no lookup may outlive the test backend
        main_.reset();
        fw::SetMessageBoxRunner(nullptr);
        app::SetProgramDirOverride("");
        fs::remove_all(dir_);
    }
    fs::path LogPath() const { return dir_ / "prog" / "IP.LOG"; }
    TForm2& Create() {
        platform::ScopedHostBackend use(host_);
        main_.reset(new TForm1(nullptr));
        testapp::SettleProbe(*main_);
        log_.reset(new TForm2(nullptr, main_.get()));
        return *log_;
    }

    fs::path dir_;
    platform::FixedHostBackend host_;
    fw::ComponentPtr<TForm1> main_;
    fw::ComponentPtr<TForm2> log_;
    std::vector<std::string> boxes_;
    std::vector<fw::TMessageBoxKind> boxTypes_;
    std::vector<unsigned> boxButtons_;
    int answer_ = fw::mrNo;
};

TEST_F(LogWindow, IsMadeHiddenAtItsPlaceWithItsParts) {
    TForm2& f = Create();
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.Caption(), "IP Logger");
    EXPECT_EQ(f.Left(), 239);
    EXPECT_EQ(f.Top(), 225);
    EXPECT_EQ(f.ClientWidth(), 144);
    EXPECT_EQ(f.ClientHeight(), 138);
    EXPECT_EQ(f.Image1->Picture()->Width(), 142);
    EXPECT_EQ(f.Image1->Picture()->Height(), 136);
    EXPECT_EQ(f.Image2->Picture()->Width(), 0);
    EXPECT_TRUE(f.Memo1->ReadOnly());
    EXPECT_EQ(f.Memo1->BorderStyle(), fw::bsNoBorder);
    EXPECT_EQ(f.Memo1->ScrollBars(), fw::ssVertical);
    EXPECT_EQ(f.Memo1->Color(), fw::TColor(13689284));
    EXPECT_EQ(f.Label1->Font()->Color(), fw::clSilver);
    EXPECT_FALSE(f.SnapToedge1->Checked());
}

TEST_F(LogWindow, NoLogAtStartUpMakesAnEmptyOne) {
    ASSERT_FALSE(fs::exists(LogPath()));
    Create();
    ASSERT_TRUE(fs::exists(LogPath()));
    EXPECT_EQ(fs::file_size(LogPath()), 0u);
}

TEST_F(LogWindow, IsMadeOnFirstShowingWithTheLogOfThatMomentAndThenKept) {
    platform::ScopedHostBackend use(host_);
    main_.reset(new TForm1(nullptr));
    testapp::SettleProbe(*main_);
    ASSERT_EQ(Form2, nullptr);
    const std::string record = "1:00:00 PM\r\n1/2/99\r\nLocal IP : 1.2.3.4\r\nh\r\n\r\n";
    WriteAll(LogPath(), record);  // written after the program started, before the first look
    main_->Changelog1Click(nullptr);
    ASSERT_NE(Form2, nullptr);
    log_.reset(Form2);
    EXPECT_TRUE(log_->Visible());
    EXPECT_EQ(log_->Memo1->Lines().at(3), "h");

    // Closed and asked for again: the same window, with what was added since.
    log_->SpeedButton1Click(log_.get());
    log_->Hide();
    main_->Changelog1Click(nullptr);
    EXPECT_EQ(Form2, log_.get());
    EXPECT_TRUE(log_->Visible());
    EXPECT_EQ(log_->Memo1->Lines().size(), 10u);
    EXPECT_EQ(ReadAll(LogPath()).rfind(record, 0), 0u);
    EXPECT_EQ(CrLfLines(ReadAll(LogPath())).size(), 10u);
    log_->Hide();
}

TEST_F(LogWindow, TwoAddsAndARestartShowTenLinesInOrder) {
    TForm2& f = Create();
    f.SpeedButton1Click(&f);
    main_->label2->SetCaption("second-host");
    main_->Label1->SetCaption("Local IP : ");
    f.SpeedButton1Click(&f);
    const std::string bytes = ReadAll(LogPath());
    auto lines = CrLfLines(bytes);
    ASSERT_EQ(lines.size(), 10u) << bytes;
    EXPECT_EQ(lines[0].rfind("Time : ", 0), 0u);
    EXPECT_EQ(lines[1].rfind("Date : ", 0), 0u);
    EXPECT_EQ(lines[2], "Local IP : 10.0.0.7");
    EXPECT_EQ(lines[3], "Hostname : test-host");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[7], "Local IP : ");
    EXPECT_EQ(lines[8], "Hostname : second-host");
    EXPECT_EQ(lines[9], "");

    // Restart: the same bytes come back and stay untouched until the next change.
    log_.reset();
    main_.reset();
    TForm2& again = Create();
    EXPECT_EQ(again.Memo1->Lines().size(), 10u);
    EXPECT_EQ(ReadAll(LogPath()), bytes);
}

TEST_F(LogWindow, ClearAsksAndOnlyYesEmptiesTheLogToZeroBytes) {
    TForm2& f = Create();
    f.SpeedButton1Click(&f);
    const std::string before = ReadAll(LogPath());
    answer_ = fw::mrNo;
    f.SpeedButton2Click(&f);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], "Are you sure you want to clear the IP Log?");
    EXPECT_EQ(boxTypes_[0], fw::mtInformation);
    EXPECT_EQ(boxButtons_[0], (1u << fw::mbYes) | (1u << fw::mbNo));
    EXPECT_EQ(ReadAll(LogPath()), before);
    EXPECT_FALSE(f.Memo1->Text().empty());

    answer_ = fw::mrYes;
    f.SpeedButton2Click(&f);
    EXPECT_TRUE(fs::exists(LogPath()));
    EXPECT_EQ(fs::file_size(LogPath()), 0u);
    EXPECT_TRUE(f.Memo1->Text().empty());
}

// An Add leaves the log's bytes as they are, whatever their line ends and however long the
// log; the window shows a long log's end.
TEST_F(LogWindow, AnAddLeavesTheLogsBytesAsTheyAre) {
    std::string old;
    while (old.size() <= 2 * app::kShownLogTail) old += "caf\xE9 old\n";
    WriteAll(LogPath(), old);
    TForm2& f = Create();
    EXPECT_EQ(f.Memo1->Lines().front(),
              "\xE2\x80\xA6 " + std::to_string((old.size() - app::kShownLogTail + 8) / 9 * 9) +
                  " earlier bytes are in the file only");
    f.SpeedButton1Click(&f);
    const std::string bytes = ReadAll(LogPath());
    ASSERT_EQ(bytes.compare(0, old.size(), old), 0);
    EXPECT_EQ(CrLfLines(bytes.substr(old.size())).size(), 5u);
}

TEST_F(LogWindow, AnUnreadableLogIsLeftIntactAndAddAndClearRefuse) {
    fs::create_directories(LogPath());  // a directory where the log should be
    fs::path inside = LogPath() / "keep";
    WriteAll(inside, "data");
    TForm2& f = Create();
    EXPECT_FALSE(f.LogUsable());
    EXPECT_NE(f.Memo1->Text().find("cannot be read"), std::string::npos) << f.Memo1->Text();
    EXPECT_FALSE(f.Label1->Enabled() || f.Label2->Enabled()) << "Add and Clear look usable";
    try {
        f.SpeedButton1Click(&f);
        ADD_FAILURE() << "Add went on";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find(LogPath().string()), std::string::npos) << e.what();
    }
    answer_ = fw::mrYes;
    EXPECT_THROW(f.SpeedButton2Click(&f), fw::Exception);
    EXPECT_TRUE(boxes_.empty());  // refused before asking
    EXPECT_TRUE(fs::is_directory(LogPath()));
    EXPECT_EQ(ReadAll(inside), "data");
}

TEST_F(LogWindow, AFailedWriteIsReportedWithThePathAndTheMemoKeepsTheRecord) {
    TForm2& f = Create();
    // The log's directory goes away and a file takes its name: nothing can be created there.
    fs::remove_all(dir_ / "prog");
    WriteAll(dir_ / "prog", "not a directory");
    try {
        f.SpeedButton1Click(&f);
        ADD_FAILURE() << "the write did not fail";
    } catch (const fw::EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file " + LogPath().string() + ": ", 0),
                  0u)
            << e.what();
    }
    EXPECT_EQ(f.Memo1->Lines().size(), 5u);
    // The next successful save writes what the memo holds.
    fs::remove(dir_ / "prog");
    fs::create_directories(dir_ / "prog");
    f.SpeedButton1Click(&f);
    EXPECT_EQ(CrLfLines(ReadAll(LogPath())).size(), 10u);
}

TEST_F(LogWindow, ALongHostNameIsOneLineInTheFile) {
    TForm2& f = Create();
    const std::string name(300, 'h');
    main_->label2->SetCaption(name);
    f.SpeedButton1Click(&f);
    auto lines = CrLfLines(ReadAll(LogPath()));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3], "Hostname : " + name);
}

TEST_F(LogWindow, GlyphAndLabelsShowTheirPressedAndReleasedLooks) {
    TForm2& f = Create();
    f.Image2MouseDown(&f, fw::mbLeft, 0, 0, 0);
    EXPECT_EQ(f.Image2->Picture()->Width(), 9);
    fw::TBitmap pressed;
    main_->ImageList1->GetBitmap(0, pressed);
    EXPECT_EQ(f.Image2->Picture()->Bitmap().Canvas().Pixels(4, 4), pressed.Canvas().Pixels(4, 4));
    f.Label2MouseDown(&f, fw::mbLeft, 0, 0, 0);
    EXPECT_EQ(f.Label2->Font()->Color(), fw::clWhite);
    f.Label2MouseUp(&f, fw::mbLeft, 0, 0, 0);
    EXPECT_EQ(f.Label2->Font()->Color(), fw::clSilver);

    // The close glyph hides the window; showing it again keeps the memo.
    f.SpeedButton1Click(&f);
    f.Show();
    f.Image2Click(&f);
    EXPECT_FALSE(f.Visible());
    f.Show();
    EXPECT_EQ(f.Memo1->Lines().size(), 5u);
}

}  // namespace
