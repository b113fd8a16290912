// The two text transformations on their own: component text -> entries and entries ->
// component text, including shapes no component of the program has (nested collections).
#include <gtest/gtest.h>

#include "framework/core/classes.h"
#include "framework/core/exceptions.h"
#include "settings/storerestore.h"
#include "settings/storesave.h"

namespace {

using settings::StoreEntries;

TEST(Rebuild, SingleLinesListsAndBinariesTakeTheirComponentTextShape) {
    auto text = settings::RebuildComponentText(
        "Label1", "TLabel",
        {"Font.Color=clBlack", "Font.Height=-8", "Font.Name='Small Fonts'", "Font.Style=[]"},
        nullptr);
    EXPECT_EQ(text.text,
              "object Label1: TLabel\n"
              "  Font.Color=clBlack\n"
              "  Font.Height=-8\n"
              "  Font.Name='Small Fonts'\n"
              "  Font.Style=[]\n"
              "end\n");

    std::vector<std::string> asked;
    auto loader = [&](const std::string& s) {
        asked.push_back(s);
        return s == "F.I.Data" ? std::vector<std::string>{"0A0B", "0C"}
                               : std::vector<std::string>{};
    };
    text = settings::RebuildComponentText(
        "Memo1", "TMemo",
        {"Lines.Strings(0)='first'", "Lines.Strings(1)='second'", "Other.Strings(0)='x'",
         "Data{}=F.I.Data", "Empty{}=None", "  ", "Tag=1"},
        loader);
    EXPECT_EQ(text.text,
              "object Memo1: TMemo\n"
              "  Lines.Strings = (\n"
              "    'first'\n"
              "    'second')\n"
              "  Other.Strings = (\n"
              "    'x')\n"
              "  Data = {\n"
              "    0A0B\n"
              "    0C}\n"
              "  Empty = {}\n"
              "  Tag=1\n"
              "end\n");
    EXPECT_EQ(asked, (std::vector<std::string>{"F.I.Data", "None"}));
    EXPECT_TRUE(text.collections.empty());
}

TEST(Rebuild, CollectionsNestAndOnlyTopLevelOnesAreRecorded) {
    auto text = settings::RebuildComponentText(
        "C1", "TThing",
        {"Items<item(0)>.Caption='a'", "Items<item(0)>.Sub<item(0)>.Value=1",
         "Items<item(0)>.Sub<item(1)>.Value=2", "Items<item(1)>.Lines.Strings(0)='l'", "Count=3"},
        nullptr);
    EXPECT_EQ(text.text,
              "object C1: TThing\n"
              "  Items = <\n"
              "    item\n"
              "      Caption='a'\n"
              "      Sub = <\n"
              "        item\n"
              "          Value=1\n"
              "        end\n"
              "        item\n"
              "          Value=2\n"
              "        end>\n"
              "    end\n"
              "    item\n"
              "      Lines.Strings = (\n"
              "        'l')\n"
              "    end>\n"
              "  Count=3\n"
              "end\n");
    EXPECT_EQ(text.collections, std::vector<std::string>{"Items"});
}

TEST(Rebuild, ACollectionKeyWithoutItemNumberIsRefused) {
    EXPECT_THROW(settings::RebuildComponentText("C1", "T", {"Items<item=1"}, nullptr),
                 fw::EParserError);
}

TEST(Group, RunsOfTheSameNameExactlyWithNamelessKeysLeftOut) {
    StoreEntries entries{{"A.x", "1"}, {"A.y", "2"},   {"a.z", "3"},  {"nodot", "4"},
                         {".w", "5"},  {" A .v", "6"}, {"B.k", "7=8"}};
    auto groups = settings::GroupStoreEntries(entries);
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].component, "A");
    EXPECT_EQ(groups[0].lines, (std::vector<std::string>{"x=1", "y=2"}));
    EXPECT_EQ(groups[1].component, "a");
    EXPECT_EQ(groups[2].component, "A");
    EXPECT_EQ(groups[2].lines, std::vector<std::string>{"v=6"});
    EXPECT_EQ(groups[3].lines, std::vector<std::string>{"k=7=8"});
}

TEST(Collect, NestedCollectionsAndUnnamedBlocks) {
    const std::string text =
        "object Form1: TForm\n"
        "  Left = 1\n"
        "  object TUnnamed\n"
        "    Tag = 2\n"
        "  end\n"
        "  object C1: TThing\n"
        "    Items = <\n"
        "      item\n"
        "        Caption = 'a'\n"
        "        Sub = <\n"
        "          item\n"
        "            Value = 1\n"
        "          end>\n"
        "      end\n"
        "      item\n"
        "      end\n"
        "      item\n"
        "        Caption = 'c'\n"
        "      end>\n"
        "    Tag = 5\n"
        "  end\n"
        "end\n";
    fw::TComponent c1(nullptr);
    settings::SaveSource source;
    source.storedComponent = [&](const std::string& n) -> fw::TComponent* {
        return n == "C1" ? &c1 : nullptr;
    };
    source.storedProps = [](fw::TComponent*) { return std::vector<std::string>{"items", "Tag"}; };
    source.writeBinary = [](fw::TComponent*, const std::string&, const std::vector<std::string>&) {
        ADD_FAILURE() << "no binary here";
        return std::string();
    };
    StoreEntries expected{{"C1.Items<item(0)>.Caption", "'a'"},
                          {"C1.Items<item(0)>.Sub<item(0)>.Value", "1"},
                          {"C1.Items<item(2)>.Caption", "'c'"},
                          {"C1.Tag", "5"}};
    EXPECT_EQ(settings::CollectStoreEntries(text, source), expected);
}

}  // namespace
