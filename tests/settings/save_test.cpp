// What Save writes: the flattened forms of every property kind, the value rules of the
// file and which keys appear at all.
#include "platform/inifile.h"
#include "tests/settings/store_support.h"

namespace storetest {
namespace {

class SaveTest : public StoreTest {
  protected:
    std::string Section() { return ReadFile(IniPath()); }
};

TEST_F(SaveTest, ListElementsBecomeNumberedKeysWithDoubledOuterApostrophes) {
    MakeModule();
    thing1_->Lines()->SetLines({"first", "second"});
    Keep(thing1_, {"Lines"});
    store_->Save();
    EXPECT_EQ(Section(),
              "[S]\n"
              "Thing1.Lines.Strings(0)=''first''\n"
              "Thing1.Lines.Strings(1)=''second''\n");
}

TEST_F(SaveTest, CollectionItemsAreNumberedAndTheirPropertiesPrefixed) {
    MakeModule();
    thing1_->AddItem("a", 0);
    thing1_->AddItem("", 7);
    thing1_->AddItem("c", 3);
    Keep(thing1_, {"Items"});
    store_->Save();
    EXPECT_EQ(Section(),
              "[S]\n"
              "Thing1.Items<item(0)>.Caption=''a''\n"
              "Thing1.Items<item(1)>.Value=7\n"
              "Thing1.Items<item(2)>.Caption=''c''\n"
              "Thing1.Items<item(2)>.Value=3\n");
}

TEST_F(SaveTest, LongBinaryGoesToTheSideFileShortBinaryStaysInline) {
    MakeModule();
    store_->SetBinaryFileName("test.bin");
    std::vector<uint8_t> data(40);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    thing1_->SetData(data);
    thing2_->SetData(std::vector<uint8_t>{0xAB, 0x01});
    Keep(thing1_, {"Data"});
    Keep(thing2_, {"data"});
    store_->Save();
    // The module has no owner, so the section is named from Thing1 down.
    EXPECT_EQ(Section(),
              "[S]\n"
              "Thing1.Data{}=Thing1.Data\n"
              "Thing2.Data={AB01}\n");
    std::string hex0, hex1;
    const char* digits = "0123456789ABCDEF";
    for (size_t i = 0; i < data.size(); ++i) {
        std::string& h = i < 32 ? hex0 : hex1;
        h += digits[data[i] >> 4];
        h += digits[data[i] & 15];
    }
    EXPECT_EQ(ReadFile(IniPath("test.bin")), "[Thing1.Data]\nI0=" + hex0 + "\nI1=" + hex1 + "\n");
}

TEST_F(SaveTest, BinarySectionNamesTheOwnerChainWhenTheOwnerIsOwned) {
    fw::ComponentPtr<fw::TComponent> outer(new fw::TComponent(nullptr));
    auto* module = new TTestModule(outer.get());
    module->SetName("Module1");
    store_ = new settings::TPropertyStore(module);
    store_->SetIniFileName("test.ini");
    store_->SetBinaryFileName("test.bin");
    auto* thing = new TThing(module);
    thing->SetName("Image1");
    thing->SetData(std::vector<uint8_t>(32, 0x11));
    Keep(thing, {"Data"});
    store_->Save();
    EXPECT_EQ(platform::ReadIniString("test.ini", "TTestModule", "Image1.Data{}"),
              "Module1.Image1.Data");
    EXPECT_EQ(platform::ReadIniKeys("test.bin", "Module1.Image1.Data"),
              std::vector<std::string>{"I0"});
}

TEST_F(SaveTest, StringsWithApostrophesAndControlCharacters) {
    MakeModule();
    thing1_->SetCaption("It's");
    thing2_->SetCaption("a\rb");
    Keep(thing1_, {"Caption"});
    Keep(thing2_, {"Caption"});
    store_->Save();
    EXPECT_EQ(Section(),
              "[S]\n"
              "Thing1.Caption=''It'#39's''\n"
              "Thing2.Caption=''a'#13'b''\n");
}

TEST_F(SaveTest, ValuesAreCutAt255Characters) {
    MakeModule();
    thing1_->SetCaption(std::string(300, 'x'));
    Keep(thing1_, {"Caption"});
    store_->Save();
    // The quoted value is 302 characters; 255 of them are kept, then the extra pair.
    std::string expected = "''" + std::string(254, 'x') + "'";
    EXPECT_EQ(Section(), "[S]\nThing1.Caption=" + expected + "\n");
}

TEST_F(SaveTest, EnumerationsAtTheirDefaultAreWrittenIntegersAreNot) {
    MakeModule();
    Keep(thing1_, {"Checked", "Kind", "Count", "Caption", "Lines", "Data", "Items", "Nothing"});
    Keep(module_.get(), {"Mode", "Left"});
    store_->Save();
    // Module1's own item comes first because its block comes first.
    EXPECT_EQ(Section(),
              "[S]\n"
              "Module1.Mode=tkOne\n"
              "Thing1.Data={}\n"
              "Thing1.Items=<>\n"
              "Thing1.Checked=False\n"
              "Thing1.Kind=tkOne\n");
}

TEST_F(SaveTest, StoredNamesMatchWithoutCaseAndKeepTheirSpellingForEnumerations) {
    MakeModule();
    thing1_->SetCount(5);
    Keep(thing1_, {"count", "checked"});
    store_->Save();
    EXPECT_EQ(Section(), "[S]\nThing1.Count=5\nThing1.checked=False\n");
}

TEST_F(SaveTest, StoredPropertiesAroundUnstoredListsAndBinariesAreSavedOnce) {
    MakeModule();
    // In the text: Caption, Lines (list), Count, Data (multi-line binary), Kind, Notes, Checked.
    thing1_->SetCaption("c");
    thing1_->Lines()->SetLines({"x", "Count = 99", "y"});
    thing1_->SetCount(4);
    thing1_->SetData(std::vector<uint8_t>(70, 0x22));
    thing1_->SetKind(tkThree);
    thing1_->Notes()->SetLines({"n1"});
    thing1_->SetChecked(true);
    thing2_->SetCount(8);
    Keep(thing1_, {"Caption", "Count", "Kind", "Checked"});
    Keep(thing2_, {"Count"});
    store_->Save();
    EXPECT_EQ(Section(),
              "[S]\n"
              "Thing1.Caption=''c''\n"
              "Thing1.Count=4\n"
              "Thing1.Kind=tkThree\n"
              "Thing1.Checked=True\n"
              "Thing2.Count=8\n");
}

TEST_F(SaveTest, ValuesContainingTheWordObjectDoNotStartABlock) {
    MakeModule();
    thing1_->SetCaption("object Thing2: TThing");
    thing1_->SetCount(3);
    Keep(thing1_, {"Caption", "Count"});
    store_->Save();
    EXPECT_EQ(Section(), "[S]\nThing1.Caption=''object Thing2: TThing''\nThing1.Count=3\n");
}

TEST_F(SaveTest, EmptyItemsLeaveTheSectionAloneAndNothingCollectedErasesIt) {
    MakeModule();
    const std::string old = "[S]\nThing1.Count=5\n[Other]\nk=v\n";
    WriteFile(IniPath(), old);
    store_->Save();
    EXPECT_EQ(Section(), old);
    EXPECT_FALSE(store_->Saved());

    Keep(thing1_, {"Count"});  // at its default: nothing to collect
    store_->Save();
    EXPECT_EQ(Section(), "[Other]\nk=v\n");
    EXPECT_TRUE(store_->Saved());
}

TEST_F(SaveTest, EventsAroundSaveRunInOrder) {
    MakeModule();
    Keep(thing1_, {"Checked"});
    std::vector<std::string> seen;
    store_->OnBeforeSave.Set([&](fw::TPropertyObject* s) {
        EXPECT_EQ(s, store_);
        EXPECT_FALSE(std::filesystem::exists(IniPath()));
        seen.push_back("before");
    });
    store_->OnAfterSave.Set([&](fw::TPropertyObject*) {
        EXPECT_TRUE(std::filesystem::exists(IniPath()));
        seen.push_back("after");
    });
    store_->Save();
    EXPECT_EQ(seen, (std::vector<std::string>{"before", "after"}));
}

TEST_F(SaveTest, NameGettersFallBackToExecutableAndOwnerNames) {
    fw::ComponentPtr<settings::TPropertyStore> lone(new settings::TPropertyStore(nullptr));
    lone->SetName("Store9");
    EXPECT_EQ(lone->IniFileName(), "test_settings.INI");
    EXPECT_EQ(lone->BinaryFileName(), "test_settings.BIN");
    EXPECT_EQ(lone->IniSection(), "Store9");
    lone->SetUseRegistry(true);
    EXPECT_EQ(lone->IniFileName(), "Software\\test_settings");

    MakeModule();
    EXPECT_EQ(store_->IniSection(), "S");
    store_->SetIniSection("");
    EXPECT_EQ(store_->IniSection(), "TTestModule");
    store_->SetIniFileName("");
    store_->SetDesigning(true);
    EXPECT_EQ(store_->IniFileName(), "");
    EXPECT_EQ(store_->IniSection(), "");
    store_->SetDesigning(false);
}

TEST_F(SaveTest, AssigningItemsCopiesComponentsAndNames) {
    MakeModule();
    fw::ComponentPtr<settings::TPropertyStore> other(new settings::TPropertyStore(module_.get()));
    auto* a = other->Items()->Add(thing1_);
    a->StoredProp()->Add("Count");
    other->Items()->Add(module_.get())->StoredProp()->Add("Mode");
    Keep(thing2_, {"Kind"});
    store_->SetItems(*other->Items());
    ASSERT_EQ(store_->Items()->Count(), 2);
    EXPECT_EQ(store_->Items()->Item(0)->Component(), thing1_);
    EXPECT_EQ(store_->Items()->Item(0)->StoredProp()->Lines(), std::vector<std::string>{"Count"});
    EXPECT_TRUE(store_->Items()->Item(1)->IsForm());
    a->StoredProp()->Add("Kind");  // a copy, not a share
    EXPECT_EQ(store_->Items()->Item(0)->StoredProp()->Count(), 1);
}

}  // namespace
}  // namespace storetest
