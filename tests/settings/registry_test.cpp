// The registry variant: the same entries as named string values of a per-user key.
#include "framework/core/keystore.h"
#include "tests/settings/store_support.h"

namespace storetest {
namespace {

class RegistryTest : public StoreTest {};

TEST_F(RegistryTest, EntriesRoundTripWithoutExtraApostrophesAndInListOrder) {
    MakeModule();
    store_->SetUseRegistry(true);
    store_->SetIniFileName("");
    std::vector<std::string> lines;
    for (int i = 0; i < 12; ++i) lines.push_back("line " + std::to_string(i));
    thing1_->Lines()->SetLines(lines);
    thing1_->SetCaption("It's, here");
    thing2_->SetKind(tkTwo);
    Keep(thing1_, {"Lines", "Caption"});
    Keep(thing2_, {"Kind"});
    store_->Save();

    const std::string key = "Software\\test_settings\\S";
    auto values = fw::TKeyStore().ReadValues(key);
    ASSERT_EQ(values.size(), 14u);
    std::map<std::string, std::string> byName(values.begin(), values.end());
    EXPECT_EQ(byName["Thing1.Caption"], "'It'#39's, here'");
    EXPECT_EQ(byName["Thing2.Kind"], "tkTwo");
    EXPECT_FALSE(std::filesystem::exists(IniPath()));

    thing1_->Lines()->Clear();
    thing1_->SetCaption("");
    thing2_->SetKind(tkOne);
    store_->Restore();
    EXPECT_EQ(reported_, std::vector<std::string>{});
    EXPECT_EQ(thing1_->Lines()->Lines(), lines);
    EXPECT_EQ(thing1_->Caption(), "It's, here");
    EXPECT_EQ(thing2_->Kind(), tkTwo);
}

TEST_F(RegistryTest, SavingReplacesTheWholeSubkey) {
    MakeModule();
    store_->SetUseRegistry(true);
    store_->SetIniFileName("Software\\rz-test");
    {
        fw::TKeyStore reg;
        reg.WriteString("Software\\rz-test\\S", "Thing1.Count", "9");
        reg.WriteString("Software\\rz-test\\S\\Deeper", "x", "1");
        reg.WriteString("Software\\rz-test\\Other", "y", "2");
        ASSERT_TRUE(reg.Flush());
    }
    thing2_->SetCount(4);
    Keep(thing2_, {"Count"});
    store_->Save();
    fw::TKeyStore reg;
    using Values = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(reg.ReadValues("Software\\rz-test\\S"), (Values{{"Thing2.Count", "4"}}));
    EXPECT_EQ(reg.ReadValues("Software\\rz-test\\S\\Deeper"), Values{});
    EXPECT_EQ(reg.ReadValues("Software/rz-test/Other"), (Values{{"y", "2"}}));
}

TEST(NaturalOrder, DigitRunsCompareByValue) {
    EXPECT_TRUE(fw::NaturalLess("A.L(2)", "A.L(10)"));
    EXPECT_FALSE(fw::NaturalLess("A.L(10)", "A.L(2)"));
    EXPECT_TRUE(fw::NaturalLess("A.I<item(9)>.x", "A.I<item(10)>.a"));
    EXPECT_TRUE(fw::NaturalLess("A.L(02)x", "A.L(2)y"));
    EXPECT_FALSE(fw::NaturalLess("A.L(2)", "A.L(2)"));
    EXPECT_TRUE(fw::NaturalLess("A.L", "A.L(0)"));
}

}  // namespace
}  // namespace storetest
