// One instance per session: the first start takes the lock and listens, a second is told
// so and reaches the first, and a lock left by a process that died never blocks.
#include "platform/singleinstance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "scratch.h"

using platform::SingleInstance;
using Role = SingleInstance::Role;

namespace {

TEST(SingleInstance, TheFirstListensASecondReachesItAndOtherDisplaysAreApart) {
    testing_scratch::TempDir dir;
    SingleInstance first(dir.path(), "_21");
    ASSERT_EQ(first.role(), Role::First);
    EXPECT_GE(first.ListenFd(), 0);
    EXPECT_EQ(first.TakeRequests(), 0);

    {
        SingleInstance second(dir.path(), "_21");
        EXPECT_EQ(second.role(), Role::Second);
        EXPECT_EQ(second.ListenFd(), -1);
        EXPECT_TRUE(second.AskFirstToComeForward());
        EXPECT_TRUE(second.AskFirstToComeForward());
    }
    EXPECT_EQ(first.TakeRequests(), 2);
    EXPECT_EQ(first.TakeRequests(), 0);

    SingleInstance elsewhere(dir.path(), "_22");
    EXPECT_EQ(elsewhere.role(), Role::First);
}

TEST(SingleInstance, ALockLeftByAKilledProcessDoesNotBlockAndItsSocketIsReplaced) {
    testing_scratch::TempDir dir;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance held(dir.path(), "k");
        char b = held.role() == Role::First ? 'y' : 'n';
        if (write(ready[1], &b, 1) != 1) _exit(1);
        pause();
        _exit(0);
    }
    char b = 0;
    ASSERT_EQ(read(ready[0], &b, 1), 1);
    EXPECT_EQ(b, 'y');
    {
        SingleInstance whileAlive(dir.path(), "k");
        EXPECT_EQ(whileAlive.role(), Role::Second);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);

    // The dead holder's lock file and socket file are both still there.
    SingleInstance after(dir.path(), "k");
    ASSERT_EQ(after.role(), Role::First);
    SingleInstance second(dir.path(), "k");
    EXPECT_TRUE(second.AskFirstToComeForward());
    EXPECT_EQ(after.TakeRequests(), 1);
}

TEST(SingleInstance, AClientThatSaysSomethingElseOrNothingIsNoRequest) {
    testing_scratch::TempDir dir;
    SingleInstance first(dir.path(), "x");
    ASSERT_EQ(first.role(), Role::First);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, first.SocketPath().c_str());
    for (const char* msg : {"", "hello!"}) {
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        if (*msg) {
            ASSERT_GT(send(fd, msg, std::strlen(msg), 0), 0);
        }
        shutdown(fd, SHUT_WR);
        EXPECT_EQ(first.TakeRequests(), 0) << msg;
        close(fd);
    }
}

TEST(SingleInstance, WithNoUsableDirectoryTheProgramRunsUnguarded) {
    SingleInstance none("", "x");
    EXPECT_EQ(none.role(), Role::Unguarded);
    EXPECT_FALSE(none.AskFirstToComeForward());
    SingleInstance missing("/nonexistent/dir", "x");
    EXPECT_EQ(missing.role(), Role::Unguarded);
}

TEST(SingleInstance, TheDisplayKeyIgnoresTheScreenNumber) {
    testing_scratch::EnvOverride a("DISPLAY", std::string(":21.0"));
    const std::string k = platform::DisplayKey();
    testing_scratch::EnvOverride b("DISPLAY", std::string(":21"));
    EXPECT_EQ(platform::DisplayKey(), k);
    EXPECT_EQ(k.find('/'), std::string::npos);
    testing_scratch::EnvOverride c("DISPLAY", std::string(":22"));
    EXPECT_NE(platform::DisplayKey(), k);
}

}  // namespace
