#include "platform/probe.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/fixedhostbackend.h"

namespace platform {
namespace {

const Ipv4 kA{10, 0, 0, 7};
const Ipv4 kB{192, 168, 1, 20};
const Ipv4 kDebianLoopback{127, 0, 1, 1};
const Ipv4 kEth{192, 0, 2, 2};
const Ipv4 kWlan{172, 16, 5, 9};

std::string Ip() {
    std::string s = "stale";
    GetLocalIP(s);
    return s;
}

std::string Name() {
    std::string s = "stale";
    GetLocalHostName(s);
    return s;
}

class ProbeTest : public ::testing::Test {
  protected:
    ProbeTest() : use_(fake_) { fake_.hostName = "box"; }
    FixedHostBackend fake_;
    ScopedHostBackend use_;
};

TEST_F(ProbeTest, ShowsTheLastAddressOfTheOwnName) {
    fake_.resolved = {{kA, kB}};
    EXPECT_EQ(Ip(), "192.168.1.20");
    ASSERT_EQ(fake_.resolvedNames.size(), 1u);
    EXPECT_EQ(fake_.resolvedNames[0], "box");
}

TEST_F(ProbeTest, FailedLookupAndEmptyListShowTheInterfacesAddress) {
    fake_.interfaces = {kWlan, kEth};
    for (auto resolved : {std::optional<std::vector<Ipv4>>{}, {std::vector<Ipv4>{}}}) {
        fake_.resolved = resolved;
        EXPECT_EQ(Ip(), "192.0.2.2");  // chosen as for a loopback answer: the last
    }
    fake_.interfaces.clear();
    EXPECT_EQ(Ip(), "");
    fake_.resolved = std::nullopt;
    EXPECT_EQ(Ip(), "");
}

TEST_F(ProbeTest, RepeatedFailuresKeepAnsweringEmpty) {
    fake_.resolved = std::nullopt;
    for (int i = 0; i < 100; ++i) ASSERT_EQ(Ip(), "");
    fake_.resolved = {{kA}};
    EXPECT_EQ(Ip(), "10.0.0.7");
}

TEST_F(ProbeTest, LoopbackAnswerIsReplacedByInterfaceAddresses) {
    fake_.resolved = {{kDebianLoopback}};
    fake_.interfaces = {kWlan, kEth};
    EXPECT_EQ(Ip(), "192.0.2.2");  // the last interface, as the last list entry
    EXPECT_EQ(EffectiveAddressList({kDebianLoopback}, {kWlan, kEth}),
              (std::vector<Ipv4>{kWlan, kEth}));
}

TEST_F(ProbeTest, LoopbackIsReplacedWhereItStands) {
    EXPECT_EQ(EffectiveAddressList({kDebianLoopback, kA}, {kEth}), (std::vector<Ipv4>{kEth, kA}));
    fake_.resolved = {{kA, {127, 0, 0, 1}}};
    fake_.interfaces = {kEth};
    EXPECT_EQ(Ip(), "192.0.2.2");
}

TEST_F(ProbeTest, LoopbackStaysWithoutOtherInterfaces) {
    fake_.resolved = {{kDebianLoopback}};
    EXPECT_EQ(Ip(), "127.0.1.1");
}

TEST_F(ProbeTest, DuplicatesAreDropped) {
    // Keeping the first occurrence decides which entry is last.
    fake_.resolved = {{kA, kB, kA}};
    EXPECT_EQ(Ip(), "192.168.1.20");
    EXPECT_EQ(EffectiveAddressList({kDebianLoopback, kEth}, {kEth}), (std::vector<Ipv4>{kEth}));
}

TEST_F(ProbeTest, HostNameIsReturnedWholeAndBare) {
    std::string longName(64, 'n');  // the longest Linux allows
    longName.front() = 'a';
    longName.back() = 'z';
    fake_.hostName = longName;
    EXPECT_EQ(Name(), longName);
    fake_.resolved = {{kA}};
    EXPECT_EQ(Ip(), "10.0.0.7");
    EXPECT_EQ(fake_.resolvedNames.back(), longName);
}

TEST_F(ProbeTest, FailingNameQueryGivesEmptyTexts) {
    fake_.hostName = std::string(65, 'x');  // longer than any name the system can have
    fake_.resolved = {{kA}};
    EXPECT_EQ(Name(), "");
    EXPECT_EQ(Ip(), "");
    fake_.hostName = std::nullopt;
    EXPECT_EQ(Name(), "");
    EXPECT_EQ(Ip(), "");
    EXPECT_TRUE(fake_.resolvedNames.empty());
}

TEST(ProbeBackend, GuardRestoresThePreviousBackend) {
    FixedHostBackend outer, inner;
    outer.hostName = "outer";
    inner.hostName = "inner";
    EXPECT_EQ(&CurrentHostBackend(), &SystemHostBackend());
    {
        ScopedHostBackend a(outer);
        {
            ScopedHostBackend b(inner);
            EXPECT_EQ(Name(), "inner");
        }
        EXPECT_EQ(Name(), "outer");
    }
    EXPECT_EQ(&CurrentHostBackend(), &SystemHostBackend());
}

TEST(ProbeSystem, RealMachineNeverShowsLoopbackWhenItHasAnInterface) {
    std::string name, ip;
    GetLocalHostName(name);
    GetLocalIP(ip);
    EXPECT_LE(name.size(), 64u);
    if (ip.empty()) GTEST_SKIP() << "the own name does not resolve here";
    unsigned a, b, c, d;
    EXPECT_EQ(std::sscanf(ip.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d), 4) << ip;
    if (!SystemHostBackend().InterfaceAddresses().empty()) {
        EXPECT_NE(a, 127u) << ip;
    }
}

}  // namespace
}  // namespace platform
