// What a hand-edited or damaged section costs: every rebuilding loop moves on whatever the
// key holds, values and key names are read within their limits, deep nesting is refused
// with an error, and the file's own reading rules reach the components.
#include "settings/storerestore.h"
#include "tests/settings/store_support.h"

namespace storetest {
namespace {

// Every line must land in exactly one property, in order: a loop that did not move on
// would never return.
TEST(RebuildLoops, EveryKindMovesOnWithAnyMixOfBracketsInItsKey) {
    const std::vector<std::string> bases = {"Count", "Lines.Strings(0)", "Data{}",
                                            "Items<item(0)>.Caption"};
    const std::vector<std::string> mixes = {"(",  "{",  "<",  "({",  "{(",  "(<",
                                            "<(", "{<", "<{", "({<", "<{(", "{<("};
    auto loader = [](const std::string&) { return std::vector<std::string>{"00"}; };
    for (const std::string& base : bases)
        for (const std::string& mix : mixes)
            for (size_t at : {size_t{0}, base.size() / 2, base.size()}) {
                std::string key = base;
                key.insert(at, mix);
                const std::vector<std::string> lines = {key + "=1", key + "=2", "Count=3"};
                auto props = settings::RebuildProperties(lines, loader);
                size_t covered = 0;
                for (const auto& p : props) {
                    EXPECT_EQ(p.first, covered) << key;
                    EXPECT_GE(p.count, 1u) << key;
                    covered += p.count;
                }
                EXPECT_EQ(covered, lines.size()) << key;
                ASSERT_FALSE(props.empty());
                EXPECT_EQ(props.back().text, "  Count=3\n") << key;
            }
}

TEST(RebuildLoops, KeysNestedDeeperThan64CollectionsAreRefused) {
    auto key = [](int depth) {
        std::string k = "Items";
        for (int i = 1; i < depth; ++i) k += "<item(0)>.Items";
        return k + "<item(0)>.Caption";
    };
    EXPECT_TRUE(settings::RebuildProperties({key(64) + "=1"}, nullptr).at(0).error.empty());
    auto deep = settings::RebuildProperties({key(2000) + "=1", "Count=1"}, nullptr);
    ASSERT_EQ(deep.size(), 2u);
    EXPECT_EQ(deep[0].error, "Nesting deeper than 64 levels");
    EXPECT_EQ(deep[1].text, "  Count=1\n");
}

class RestoreLimitsTest : public StoreTest {
  protected:
    std::vector<settings::SkippedKey> RestoreRecording() {
        std::vector<settings::SkippedKey> skipped;
        settings::SetStoreErrorReporter([&](fw::TPropertyObject*, const std::exception& e) {
            reported_.push_back(e.what());
            if (auto* s = dynamic_cast<const settings::ESkippedSettings*>(&e)) {
                skipped = s->Skipped();
                notRead_ = s->NotRead();
            }
        });
        store_->Restore();
        return skipped;
    }
    size_t notRead_ = 0;
};

TEST_F(RestoreLimitsTest, AValueOfTensOfThousandsOfBracketsIsCutAndRefusedAlone) {
    MakeModule();
    WriteFile(IniPath(), "[S]\nThing1.Count=1\nThing1.Lines.Strings(0)=" + std::string(50000, '(') +
                             "\nThing1.Caption=" + std::string(50000, '<') +
                             "\nThing1.Kind=tkTwo\n");
    auto skipped = RestoreRecording();
    EXPECT_EQ(thing1_->Count(), 1);
    EXPECT_EQ(thing1_->Kind(), tkTwo);
    ASSERT_EQ(skipped.size(), 2u);
    EXPECT_EQ(skipped[0].key, "Thing1.Lines.Strings(0)");
    EXPECT_EQ(skipped[0].reason, "Nesting deeper than 64 levels");
    EXPECT_EQ(skipped[1].key, "Thing1.Caption");
}

TEST_F(RestoreLimitsTest, ValuesAreReadUpTo255CharactersAsTheyAreWritten) {
    MakeModule();
    WriteFile(IniPath(), "[S]\nThing1.Lines.Strings(0)=''" + std::string(253, 'a') +
                             "''\nThing2.Lines.Strings(0)=''" + std::string(254, 'b') + "''\n");
    auto skipped = RestoreRecording();
    EXPECT_EQ(thing1_->Lines()->Lines(), std::vector<std::string>{std::string(253, 'a')});
    ASSERT_EQ(skipped.size(), 1u);  // 256 characters: cut, and the cut string does not parse
    EXPECT_EQ(skipped[0].key, "Thing2.Lines.Strings(0)");
}

TEST_F(RestoreLimitsTest, KeyNamesAreReadWithinTheirBudgetAndTheRestCounted) {
    MakeModule();
    // 1 + 13 + (12 + 1) * 629 = 8191 bytes of key names with their zeros: all fit. The
    // next one does not, nor any after it, however short.
    std::string text = "[S]\nThing1.Count=5\n";
    for (int i = 0; i < 629; ++i) text += "Gone" + std::to_string(100000 + i) + ".X=1\n";
    text += "Thing1.Kind=tkTwo\nA.B=1\n";
    WriteFile(IniPath(), text);
    auto skipped = RestoreRecording();
    EXPECT_EQ(thing1_->Count(), 5);
    EXPECT_EQ(thing1_->Kind(), tkOne);
    EXPECT_TRUE(skipped.empty());
    EXPECT_EQ(notRead_, 2u);
    ASSERT_EQ(reported_.size(), 1u);
    EXPECT_NE(reported_[0].find("2 keys from Thing1.Kind on were not read"), std::string::npos)
        << reported_[0];
}

TEST_F(RestoreLimitsTest, HandEditedBlanksQuotesBomAndRepeatedKeysReadAsTheFileMeansThem) {
    MakeModule();
    WriteFile(IniPath(),
              "\xEF\xBB\xBF[S]\r\nThing1.Caption = ''MS Sans Serif''  \r\n"
              "Thing1.Count=1\r\n Thing1.Count = 2 \r\nThing2.Kind=\t\"tkThree\"\r\n");
    RestoreRecording();
    EXPECT_TRUE(reported_.empty()) << reported_.front();
    EXPECT_EQ(thing1_->Caption(), "MS Sans Serif");
    EXPECT_EQ(thing1_->Count(), 2);  // both lines applied, in file order
    EXPECT_EQ(thing2_->Kind(), tkThree);
}

TEST_F(RestoreLimitsTest, AValueThatReadsAsMorePropertyLinesIsOneBadValue) {
    MakeModule();
    WriteFile(IniPath(), "[S]\nThing1.Count=1 Kind = tkThree\nThing1.Checked=True\n");
    auto skipped = RestoreRecording();
    EXPECT_EQ(thing1_->Count(), 0);
    EXPECT_EQ(thing1_->Kind(), tkOne);
    EXPECT_TRUE(thing1_->Checked());
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].key, "Thing1.Count");
    EXPECT_EQ(skipped[0].line, 2);
}

}  // namespace
}  // namespace storetest
