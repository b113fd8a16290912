// The handler check through xdg-mime, driven by fakes put first on PATH: what counts as a
// handler, and the cases that must count as none (missing program, empty answer, failure,
// a program that never answers).
#include "platform/links.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "scratch.h"

using namespace platform;
using testing_scratch::EnvOverride;
using testing_scratch::TempDir;

namespace {

class HandlerCheck : public ::testing::Test {
  protected:
    // An xdg-mime whose answer for each queried type is given by a shell case body.
    void FakeXdgMime(const std::string& caseBody) {
        const std::string script = "#!/bin/sh\n" + std::string("echo \"$@\" >> ") + dir_ / "calls" +
                                   "\ncase \"$3\" in\n" + caseBody + "\nesac\n";
        testing_scratch::WriteAll(dir_ / "xdg-mime", script);
        ::chmod((dir_ / "xdg-mime").c_str(), 0755);
    }
    std::string Calls() { return testing_scratch::ReadAll(dir_ / "calls"); }

    TempDir dir_;
    // Only the fake's directory and the shell's: a real xdg-mime is never found.
    EnvOverride path_{"PATH", dir_.path() + ":/bin:/usr/bin"};
};

TEST_F(HandlerCheck, HttpNeedsAHandlerForTheSchemeAndForWebPages) {
    FakeXdgMime(
        "x-scheme-handler/http) echo browser.desktop ;;\n"
        "text/html) echo browser.desktop ;;\n"
        "*) ;;");
    EXPECT_TRUE(DesktopHandlerAvailable(LinkKind::Http));
    EXPECT_FALSE(DesktopHandlerAvailable(LinkKind::Mailto)) << "no mail handler named";
    EXPECT_NE(Calls().find("query default x-scheme-handler/http"), std::string::npos);
    EXPECT_NE(Calls().find("query default text/html"), std::string::npos);
    EXPECT_NE(Calls().find("query default x-scheme-handler/mailto"), std::string::npos);

    FakeXdgMime("x-scheme-handler/http) echo browser.desktop ;;\n*) ;;");
    EXPECT_FALSE(DesktopHandlerAvailable(LinkKind::Http)) << "web pages have no handler";
}

TEST_F(HandlerCheck, MailtoWithAHandlerNamed) {
    FakeXdgMime("x-scheme-handler/mailto) echo mail.desktop ;;\n*) ;;");
    EXPECT_TRUE(DesktopHandlerAvailable(LinkKind::Mailto));
    EXPECT_FALSE(DesktopHandlerAvailable(LinkKind::Http));
}

TEST_F(HandlerCheck, BlankAnswersAndFailuresMeanNoHandler) {
    FakeXdgMime("*) printf '  \\n\\t\\n' ;;");
    EXPECT_FALSE(DesktopHandlerAvailable(LinkKind::Mailto)) << "white space names nothing";
    FakeXdgMime("*) echo mail.desktop; exit 3 ;;");
    EXPECT_FALSE(DesktopHandlerAvailable(LinkKind::Mailto)) << "a failed query";
}

TEST_F(HandlerCheck, AMissingXdgMimeMeansNoHandler) {
    EXPECT_FALSE(DesktopHandlerAvailable(LinkKind::Http));
    EXPECT_FALSE(DesktopHandlerAvailable(LinkKind::Mailto));
    EXPECT_FALSE(RunWithTimeLimit({"no-such-program-here"}, std::chrono::seconds(5)).has_value());
}

TEST_F(HandlerCheck, AQueryThatNeverAnswersIsEndedAtTheLimitWithItsChildren) {
    // The script's child keeps the output open: only ending the whole group returns.
    FakeXdgMime("*) echo mail.desktop; sleep 600 & sleep 600 ;;");
    EXPECT_FALSE(DesktopHandlerAvailable(LinkKind::Mailto, std::chrono::milliseconds(200)));
}

TEST_F(HandlerCheck, TheSystemBackendAsksOncePerKindForAWhile) {
    FakeXdgMime("x-scheme-handler/mailto) echo mail.desktop ;;\n*) ;;");
    LinkBackend& system = SystemLinkBackend();
    EXPECT_TRUE(system.HandlerAvailable(LinkKind::Mailto));
    EXPECT_TRUE(system.HandlerAvailable(LinkKind::Mailto));
    EXPECT_FALSE(system.HandlerAvailable(LinkKind::Http));
    EXPECT_FALSE(system.HandlerAvailable(LinkKind::Http));
    const std::string calls = Calls();
    auto count = [&](const std::string& what) {
        size_t n = 0;
        for (size_t at = calls.find(what); at != std::string::npos; at = calls.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("x-scheme-handler/mailto"), 1u);
    EXPECT_EQ(count("x-scheme-handler/http"), 1u);
    EXPECT_EQ(&CurrentLinkBackend(), &system);
}

TEST(RunWithTimeLimit, GivesTheProgramsOutput) {
    auto out = RunWithTimeLimit({"printf", "a b\\nc"}, std::chrono::seconds(10));
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, "a b\nc");
    EXPECT_FALSE(RunWithTimeLimit({}, std::chrono::seconds(1)).has_value());
}

TEST(OpenWithDesktop, WithoutTheToolkitNothingIsStarted) {
    // test_platform makes no application object: the call must fail quietly.
    EXPECT_FALSE(OpenWithDesktop("http://example.org/"));
}

}  // namespace
