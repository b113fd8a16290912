// What Restore brings back: round trips of every flattened kind, the matching rules of
// component names, and what a damaged section costs.
#include "tests/settings/store_support.h"

namespace storetest {
namespace {

class RestoreTest : public StoreTest {
  protected:
    // Saves, then resets both things to their design values and restores.
    void RoundTrip() {
        store_->Save();
        for (TThing* t : {thing1_, thing2_}) {
            t->SetCaption("");
            t->Lines()->Clear();
            t->Notes()->Clear();
            t->SetCount(0);
            t->SetData({});
            t->SetKind(tkOne);
            t->Items()->Clear();
            t->SetChecked(false);
        }
        store_->Restore();
    }
};

TEST_F(RestoreTest, EveryKindRoundTrips) {
    MakeModule();
    store_->SetBinaryFileName("test.bin");
    thing1_->SetCaption("'MS Sans Serif'");
    thing1_->Lines()->SetLines({"first", "It's", "", "(x)"});
    thing1_->SetCount(-60000);
    std::vector<uint8_t> big(100);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(255 - i);
    thing1_->SetData(big);
    thing1_->SetKind(tkThree);
    thing1_->AddItem("one", 1);
    thing1_->AddItem("two)", 0);
    thing1_->SetChecked(true);
    thing2_->SetData(std::vector<uint8_t>{1, 2, 3});
    thing2_->SetCaption("a\rb'");
    Keep(thing1_, {"Caption", "Lines", "Count", "Data", "Kind", "Items", "Checked"});
    Keep(thing2_, {"Data", "Caption"});
    RoundTrip();
    EXPECT_EQ(reported_, std::vector<std::string>{});
    EXPECT_EQ(thing1_->Caption(), "'MS Sans Serif'");
    EXPECT_EQ(thing1_->Lines()->Lines(), (std::vector<std::string>{"first", "It's", "", "(x)"}));
    EXPECT_EQ(thing1_->Count(), -60000);
    EXPECT_EQ(thing1_->Data(), big);
    EXPECT_EQ(thing1_->Kind(), tkThree);
    ASSERT_EQ(thing1_->Items()->Count(), 2);
    auto* item1 = static_cast<TThingItem*>(thing1_->Items()->Items(1));
    EXPECT_EQ(item1->Caption(), "two)");
    EXPECT_EQ(item1->Value(), 0);
    EXPECT_TRUE(thing1_->Checked());
    EXPECT_EQ(thing2_->Data(), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(thing2_->Caption(), "a\rb'");
}

TEST_F(RestoreTest, QuotedStringsInTheFileComeBackAsComponentText) {
    MakeModule();
    WriteFile(IniPath(), "[S]\nThing1.Caption=''MS Sans Serif''\nThing2.Caption=''It'#39's''\n");
    store_->Restore();
    EXPECT_EQ(thing1_->Caption(), "MS Sans Serif");
    EXPECT_EQ(thing2_->Caption(), "It's");
}

TEST_F(RestoreTest, RestoredCollectionReplacesTheItemsThereWere) {
    MakeModule();
    thing1_->AddItem("kept", 1);
    Keep(thing1_, {"Items"});
    store_->Save();
    thing1_->AddItem("extra", 2);
    thing1_->AddItem("extra", 3);
    store_->Restore();
    ASSERT_EQ(thing1_->Items()->Count(), 1);
    EXPECT_EQ(static_cast<TThingItem*>(thing1_->Items()->Items(0))->Caption(), "kept");
}

TEST_F(RestoreTest, TwoListsOneAfterTheOtherComeBackAsTwoClosedLists) {
    MakeModule();
    WriteFile(IniPath(),
              "[S]\n"
              "Thing1.Lines.Strings(0)=''a''\n"
              "Thing1.Lines.Strings(1)=''b''\n"
              "Thing1.Notes.Strings(0)=''c''\n"
              "Thing1.Count=2\n");
    store_->Restore();
    EXPECT_EQ(reported_, std::vector<std::string>{});
    EXPECT_EQ(thing1_->Lines()->Lines(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(thing1_->Notes()->Lines(), std::vector<std::string>{"c"});
    EXPECT_EQ(thing1_->Count(), 2);
}

TEST_F(RestoreTest, ComponentNamesMatchTheOwnerExactlyAndItsComponentsWithoutCase) {
    MakeModule();
    WriteFile(IniPath(),
              "[S]\n"
              "thing1.Count=3\n"
              "module1.Left=9\n"
              "Module1.Mode=tkTwo\n"
              "THING2.kind=tkThree\n");
    store_->Restore();
    EXPECT_EQ(thing1_->Count(), 3);
    EXPECT_EQ(module_->Left(), 0);  // "module1" is not the owner's name
    EXPECT_EQ(module_->Mode(), tkTwo);
    EXPECT_EQ(thing2_->Kind(), tkThree);
    EXPECT_EQ(reported_, std::vector<std::string>{});
}

TEST_F(RestoreTest, KeysForNoComponentOrWithoutOneAreSkippedQuietly) {
    MakeModule();
    WriteFile(IniPath(),
              "[S]\n"
              "Gone1.Count=3\n"
              ".Count=4\n"
              " .Count=5\n"
              "NoDot=6\n"
              "Thing1.Caption=\n"
              "Thing1.Count=7\n");
    store_->Restore();
    EXPECT_EQ(thing1_->Count(), 7);
    EXPECT_EQ(thing1_->Caption(), "");
    EXPECT_EQ(reported_, std::vector<std::string>{});
}

TEST_F(RestoreTest, AComponentInTwoRunsIsRestoredTwiceInFileOrder) {
    MakeModule();
    WriteFile(IniPath(),
              "[S]\n"
              "Thing1.Items<item(0)>.Caption=''early''\n"
              "Thing1.Lines.Strings(0)=''x''\n"
              "Thing2.Count=1\n"
              "Thing1.Items<item(1)>.Caption=''late''\n");
    int applied = 0;
    thing1_->Lines()->OnChange = [&] { ++applied; };
    store_->Restore();
    EXPECT_EQ(applied, 1);
    // The second run is a collection of its own: it replaces what the first one made.
    ASSERT_EQ(thing1_->Items()->Count(), 1);
    EXPECT_EQ(static_cast<TThingItem*>(thing1_->Items()->Items(0))->Caption(), "late");
    EXPECT_EQ(thing2_->Count(), 1);
}

TEST_F(RestoreTest, RestoreDoesNotDependOnItems) {
    MakeModule();
    WriteFile(IniPath(), "[S]\nThing2.Count=11\n");
    Keep(thing1_, {"Count"});
    store_->Restore();
    EXPECT_EQ(thing2_->Count(), 11);
}

TEST_F(RestoreTest, DamagedKeysAreSkippedTogetherInOneReportAndTheOthersStillApply) {
    MakeModule();
    auto* thing3 = new TThing(module_.get());
    thing3->SetName("Thing3");
    const std::string file =
        "[S]\n"
        "Thing1.Count=1\n"
        "Thing2.Count=2\n"
        "Thing2.Caption='unterminated\n"
        "Thing3.Count=3\n"
        "Thing3.Nonsense=1\n"
        "Module1.Left=4\n"
        "Module1.Mode=tkMaybe\n"
        "Thing1.Kind=tkTwo\n"
        "Thing1.Count=4294967301\n";
    WriteFile(IniPath(), file);
    std::vector<settings::SkippedKey> skipped;
    settings::SetStoreErrorReporter([&](fw::TPropertyObject*, const std::exception& e) {
        reported_.push_back(e.what());
        if (auto* s = dynamic_cast<const settings::ESkippedSettings*>(&e)) skipped = s->Skipped();
    });
    bool after = false;
    store_->OnAfterRestore.Set([&](fw::TPropertyObject*) {
        after = true;
        EXPECT_TRUE(reported_.empty());  // the report comes once the restore has ended
    });
    store_->Restore();
    EXPECT_EQ(thing1_->Count(), 1);  // out of range: refused, not wrapped to 5
    EXPECT_EQ(thing1_->Kind(), tkTwo);
    EXPECT_EQ(thing2_->Count(), 2);
    EXPECT_EQ(thing3->Count(), 3);
    EXPECT_EQ(module_->Left(), 4);
    EXPECT_EQ(module_->Mode(), tkOne);
    EXPECT_TRUE(after);
    ASSERT_EQ(reported_.size(), 1u);
    EXPECT_NE(reported_[0].find(IniPath()), std::string::npos) << reported_[0];
    ASSERT_EQ(skipped.size(), 4u);
    const std::pair<const char*, int> want[] = {
        {"Thing2.Caption", 4}, {"Thing3.Nonsense", 6}, {"Module1.Mode", 8}, {"Thing1.Count", 10}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(skipped[i].key, want[i].first);
        EXPECT_EQ(skipped[i].line, want[i].second) << want[i].first;
        EXPECT_NE(reported_[0].find(std::string(want[i].first) + " (line " +
                                    std::to_string(want[i].second) + "): "),
                  std::string::npos)
            << reported_[0];
    }
    EXPECT_NE(skipped[1].reason.find("Property Nonsense does not exist"), std::string::npos);
    EXPECT_EQ(reported_[0].find("object "), std::string::npos) << "names an internal snippet";
    EXPECT_EQ(ReadFile(IniPath()), file);
}

TEST_F(RestoreTest, AValueCutAt255FailsOnlyItsOwnGroup) {
    MakeModule();
    thing1_->SetCaption(std::string(300, 'y'));
    thing2_->SetCount(5);
    Keep(thing1_, {"Caption"});
    Keep(thing2_, {"Count"});
    store_->Save();
    thing2_->SetCount(0);
    store_->Restore();
    EXPECT_EQ(thing1_->Caption(), std::string(300, 'y'));  // left as it was
    EXPECT_EQ(thing2_->Count(), 5);
    EXPECT_EQ(reported_.size(), 1u);
}

TEST_F(RestoreTest, LongValuesThatFitAreNotCutOnTheWayBack) {
    MakeModule();
    // 250 characters of list element behind a key of 17: longer than 255 as a line.
    std::string element(248, 'z');
    thing1_->Lines()->SetLines({element});
    Keep(thing1_, {"Lines"});
    RoundTrip();
    EXPECT_EQ(reported_, std::vector<std::string>{});
    EXPECT_EQ(thing1_->Lines()->Lines(), std::vector<std::string>{element});
}

TEST_F(RestoreTest, MissingFileRestoresNothingAndClearsTheSavedFlag) {
    MakeModule();
    Keep(thing1_, {"Checked"});
    store_->Save();
    ASSERT_TRUE(store_->Saved());
    std::filesystem::remove(IniPath());
    thing1_->SetCount(6);
    int before = 0;
    store_->OnBeforeRestore.Set([&](fw::TPropertyObject*) { ++before; });
    store_->Restore();
    EXPECT_FALSE(store_->Saved());
    EXPECT_EQ(thing1_->Count(), 6);
    EXPECT_EQ(before, 1);
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

}  // namespace
}  // namespace storetest
