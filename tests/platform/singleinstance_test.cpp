// One instance per session: the first start takes the lock and listens, a second is told
// so and reaches the first, and a lock left by a process that died never blocks.
#include "platform/singleinstance.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <string_view>
#include <thread>
#include <vector>

#include "scratch.h"

using platform::SingleInstance;
using Role = SingleInstance::Role;

namespace {

// The requests the first instance is given, waiting up to a few seconds for want of them.
int RequestsUpTo(SingleInstance& first, int want) {
    int got = 0;
    pollfd p{first.RequestFd(), POLLIN, 0};
    while (got < want && poll(&p, 1, 5000) > 0) got += first.TakeRequests();
    return got;
}

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
    EXPECT_EQ(RequestsUpTo(first, 2), 2);
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
    EXPECT_EQ(RequestsUpTo(after, 1), 1);
}

// What is not a whole request counts for nothing, and the clients that say nothing, or
// too little, however many, neither keep a request from being heard nor stay connected.
TEST(SingleInstance, OnlyAWholeRequestCountsAndIdleClientsAreLetGo) {
    testing_scratch::TempDir dir;
    SingleInstance first(dir.path(), "x");
    ASSERT_EQ(first.role(), Role::First);
    // The first's loop runs while the clients come, as the window's loop would: a client
    // whose connection the full queue refuses tries again after a turn of it.
    int early = 0;
    pollfd ready{first.RequestFd(), POLLIN, 0};
    const auto connectWhileServed = [&] {
        for (;;) {
            while (poll(&ready, 1, 0) > 0) early += first.TakeRequests();
            sockaddr_un addr{AF_UNIX, {}};
            std::strcpy(addr.sun_path, first.SocketPath().c_str());
            int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
            if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return fd;
            close(fd);
            if (poll(&ready, 1, 1000) <= 0) return -1;
        }
    };
    std::vector<int> clients;  // saying nothing, something else, or too little; then idle ones
    for (std::string_view msg : {"", "hello!", "front", "frontal\n", "fr"}) {
        clients.push_back(connectWhileServed());
        send(clients.back(), msg.data(), msg.size(), MSG_NOSIGNAL);
    }
    while (clients.size() < 50) clients.push_back(connectWhileServed());
    while (poll(&ready, 1, 0) > 0) early += first.TakeRequests();
    EXPECT_EQ(early, 0);
    bool asked = false;
    std::thread second([&] { asked = SingleInstance(dir.path(), "x").AskFirstToComeForward(); });
    EXPECT_EQ(RequestsUpTo(first, 1), 1);
    second.join();
    EXPECT_TRUE(asked);
    int late = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (int fd : clients) {
        pollfd p{fd, POLLIN, 0};
        while (poll(&p, 1, 0) == 0 && std::chrono::steady_clock::now() < end)
            if (poll(&ready, 1, 100) > 0) late += first.TakeRequests();
        char c;
        EXPECT_TRUE(p.revents && recv(fd, &c, 1, 0) <= 0) << "a client kept";
        close(fd);
    }
    EXPECT_EQ(late + first.TakeRequests(), 0);
}

TEST(SingleInstance, WithNoUsableDirectoryTheProgramRunsUnguarded) {
    SingleInstance none("", "x");
    EXPECT_EQ(none.role(), Role::Unguarded);
    EXPECT_FALSE(none.AskFirstToComeForward());
    SingleInstance missing("/nonexistent/dir", "x");
    EXPECT_EQ(missing.role(), Role::Unguarded);
}

// The lock's place depends on the user alone, and nobody else can have made it or look in it.
TEST(SingleInstance, TheLockLiesWhereOnlyTheUserCanHaveMadeIt) {
    const uid_t me = getuid();
    const struct {
        const char* name;
        mode_t runUserMode;  // 0: no runtime directory
        uid_t uid;           // whose lock is looked for
        mode_t cacheMode;    // 0: the cache folder is made by LockDir
        bool linked;         // the folders given are links to private folders elsewhere
        const char* want;    // "run", "cache" or "" (none)
    } cases[] = {
        {"own runtime dir", 0700, me, 0, false, "run"},
        {"no runtime dir", 0, me, 0, false, "cache"},
        {"runtime dir open to others", 0777, me, 0, false, "cache"},
        {"runtime dir readable by others", 0755, me, 0, false, "cache"},
        {"runtime dir a link", 0700, me, 0, true, "cache"},
        {"another user's dirs", 0700, me + 1, 0, false, ""},
        {"cache folder open to others", 0, me, 0777, false, ""},
        {"cache folder readable by others", 0, me, 0755, false, ""},
        {"cache folder a link", 0, me, 0700, true, ""},
    };
    for (const auto& c : cases) {
        testing_scratch::TempDir dir;
        const std::string run = dir / "run", home = dir / "home";
        // A private folder of the given mode at path, or a link there to one elsewhere.
        const auto makeDir = [&](const std::string& path, mode_t mode) {
            const std::string real = c.linked ? path + ".real" : path;
            ASSERT_EQ(mkdir(real.c_str(), 0700), 0);
            chmod(real.c_str(), mode);
            if (c.linked) {
                ASSERT_EQ(symlink(real.c_str(), path.c_str()), 0);
            }
        };
        if (c.runUserMode) makeDir(run, c.runUserMode);
        ASSERT_EQ(mkdir(home.c_str(), 0700), 0);
        const std::string cache = home + "/.cache/rezazo";
        if (c.cacheMode) {
            ASSERT_EQ(mkdir((home + "/.cache").c_str(), 0700), 0);
            makeDir(cache, c.cacheMode);
        }
        const std::string want = std::string(c.want) == "run"     ? run
                                 : std::string(c.want) == "cache" ? cache
                                                                  : "";
        EXPECT_EQ(platform::LockDir(c.uid, run, home), want) << c.name;
        if (!want.empty()) {
            EXPECT_EQ(SingleInstance(want, "k").role(), Role::First) << c.name;
        }
    }
}

TEST(SingleInstance, TheLastResortGuardRefusesASecondCopyOnAnyOfTheSameFolders) {
    testing_scratch::TempDir dir;
    const std::string a = dir / "a", b = dir / "b", notYet = dir / "not/yet";
    const std::string underAFile = dir / "file/x";
    ASSERT_EQ(mkdir(a.c_str(), 0700), 0);
    ASSERT_EQ(mkdir(b.c_str(), 0700), 0);
    std::ofstream(dir / "file") << "x";
    platform::DirectoryGuard first({a, notYet, underAFile});
    EXPECT_FALSE(first.Busy());
    EXPECT_TRUE(platform::DirectoryGuard({b, a}).Busy());
    EXPECT_TRUE(platform::DirectoryGuard({b, notYet}).Busy()) << "a folder made for the guard";
    EXPECT_FALSE(platform::DirectoryGuard({b, underAFile}).Busy());
}

TEST(SingleInstance, EverySpellingOfALocalDisplayGivesOneKeyAndARemoteOneKeepsItsHost) {
    // Within a group one key, no two groups the same; no key holds "/" or ":".
    const std::vector<std::vector<std::string>> groups = {
        {":21", ":21.0", ":021", "unix:21", "unix:21.1", "unix/:21", "/tmp/.X11-unix/X21",
         "/tmp/.X11-unix/X21.0"},
        {":22"},
        {"/tmp/.X11-unix/X2"},
        {"/tmp/other/X21"},
        {"localhost:21"},
        {""},
        {"unixhost:0"},
        {"10.0.0.5:1", "10.0.0.5:1.0"},
        {"10.0.0.5:2.0"},
        {"host.lan:0", "tcp/host.lan:0"},
        {"host.lan:1"},
        {"other.lan:0"}};
    std::map<std::string, size_t> groupOf;
    for (size_t g = 0; g < groups.size(); ++g) {
        const std::string key = platform::DisplayKey(groups[g][0]);
        EXPECT_EQ(groupOf.emplace(key, g).first->second, g) << groups[g][0] << " -> " << key;
        EXPECT_EQ(key.find_first_of("/:"), std::string::npos) << key;
        for (const std::string& d : groups[g]) EXPECT_EQ(platform::DisplayKey(d), key) << d;
    }
    testing_scratch::EnvOverride d("DISPLAY", std::string("unix:21.0"));
    EXPECT_EQ(platform::DisplayKey(), platform::DisplayKey(":21"));
}

}  // namespace
