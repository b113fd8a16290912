// The component text: every value kind written and read back, the default rule, and the
// shape of multi-line values.
#include <gtest/gtest.h>

#include "framework/core/classbuilder.h"
#include "framework/core/classregistry.h"
#include "framework/core/exceptions.h"
#include "framework/graphics/colors.h"
#include "framework/text/componenttext.h"

using namespace fw;

namespace {

enum TShade { shLight, shMedium, shDark };
const EnumInfo& ShadeInfo() {
    static const EnumInfo info{"TShade", {"shLight", "shMedium", "shDark"}};
    return info;
}

class TInner : public TPropertyObject {
    FW_CLASS(TInner)
  public:
    int Depth() const { return depth_; }
    void SetDepth(int v) { depth_ = v; }
    const std::string& Label() const { return label_; }
    void SetLabel(const std::string& v) { label_ = v; }

  private:
    int depth_ = 3;
    std::string label_;
};

const TClassInfo& TInner::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TInner>("TInner", &TPropertyObject::StaticClassInfo())
            .Integer("Depth", &TInner::Depth, &TInner::SetDepth, 3)
            .String("Label", &TInner::Label, &TInner::SetLabel, std::nullopt)
            .Build();
    return info;
}

class TRow : public TCollectionItem {
    FW_CLASS(TRow)
  public:
    using TCollectionItem::TCollectionItem;
    int Size() const { return size_; }
    void SetSize(int v) { size_ = v; }
    TLineList* Words() const { return words_.get(); }

  private:
    int size_ = 0;
    std::unique_ptr<TLineList> words_ = std::make_unique<TLineList>();
};

const TClassInfo& TRow::StaticClassInfo() {
    static const TClassInfo info = ClassBuilder<TRow>("TRow", &TCollectionItem::StaticClassInfo())
                                       .Integer("Size", &TRow::Size, &TRow::SetSize, 0)
                                       .Object("Words", &TRow::Words)
                                       .Build();
    return info;
}

// A component with one property of every kind.
class TSample : public TComponent {
    FW_CLASS(TSample)
  public:
    explicit TSample(TComponent* owner) : TComponent(owner) {}
    int Count() const { return count_; }
    void SetCount(int v) { count_ = v; }
    int Always() const { return always_; }
    void SetAlways(int v) { always_ = v; }
    double Ratio() const { return ratio_; }
    void SetRatio(double v) { ratio_ = v; }
    const std::string& Text() const { return text_; }
    void SetText(const std::string& v) { text_ = v; }
    bool Flag() const { return flag_; }
    void SetFlag(bool v) { flag_ = v; }
    TShade Shade() const { return shade_; }
    void SetShade(TShade v) { shade_ = v; }
    unsigned Shades() const { return shades_; }
    void SetShades(unsigned v) { shades_ = v; }
    TColor Tint() const { return tint_; }
    void SetTint(TColor v) { tint_ = v; }
    TInner* Inner() const { return inner_.get(); }
    TSample* Buddy() const { return buddy_; }
    void SetBuddy(TSample* b) { buddy_ = b; }
    TLineList* Lines() const { return lines_.get(); }
    const std::vector<uint8_t>& Blob() const { return blob_; }
    void SetBlob(ByteView b) { blob_.assign(b.begin(), b.end()); }
    bool HasBlob() const { return !blob_.empty(); }
    TCollection* Rows() const { return rows_.get(); }
    TSenderEvent OnPing;

  private:
    int count_ = 0;
    int always_ = 0;
    double ratio_ = 0.5;
    std::string text_;
    bool flag_ = false;
    TShade shade_ = shLight;
    unsigned shades_ = 0;
    TColor tint_ = clBtnFace;
    std::unique_ptr<TInner> inner_ = std::make_unique<TInner>();
    TSample* buddy_ = nullptr;
    std::unique_ptr<TLineList> lines_ = std::make_unique<TLineList>();
    std::vector<uint8_t> blob_;
    std::unique_ptr<TCollection> rows_ =
        std::make_unique<TCollection>([](TCollection& c) { return std::make_unique<TRow>(&c); });
};

const TClassInfo& TSample::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TSample>("TSample", &TComponent::StaticClassInfo())
            .Integer("Count", &TSample::Count, &TSample::SetCount, 0)
            .Integer("Always", &TSample::Always, &TSample::SetAlways, std::nullopt)
            .Float("Ratio", &TSample::Ratio, &TSample::SetRatio)
            .String("Text", &TSample::Text, &TSample::SetText, std::string())
            .Boolean("Flag", &TSample::Flag, &TSample::SetFlag, false)
            .Enum("Shade", &TSample::Shade, &TSample::SetShade, ShadeInfo(), shLight)
            .Set("Shades", &TSample::Shades, &TSample::SetShades, ShadeInfo(), 0)
            .Color("Tint", &TSample::Tint, &TSample::SetTint, clBtnFace)
            .Object("Inner", &TSample::Inner)
            .Component("Buddy", &TSample::Buddy, &TSample::SetBuddy)
            .Object("Lines", &TSample::Lines)
            .Binary("Blob", &TSample::Blob, &TSample::SetBlob)
            .StoredWhen(&TSample::HasBlob)
            .Collection("Rows", &TSample::Rows)
            .Event("OnPing", &TSample::OnPing)
            .Creatable()
            .Build();
    return info;
}

class TextRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override { RegisterClass(TSample::StaticClassInfo()); }
};

TEST_F(TextRoundTrip, DefaultsAreLeftOutAndPropertiesWithoutDefaultWritten) {
    TSample s(nullptr);
    s.SetName("Sample1");
    // Always and Ratio declare no default; Inner.Label neither; an empty collection is
    // still written.
    EXPECT_EQ(WriteComponentText(s),
              "object Sample1: TSample\n"
              "  Always = 0\n"
              "  Ratio = 0.5\n"
              "  Inner.Label = ''\n"
              "  Rows = <>\n"
              "end\n");
}

TEST_F(TextRoundTrip, EveryKindComesBackUnchanged) {
    TComponent owner(nullptr);
    owner.SetName("Owner1");
    auto* a = new TSample(&owner);
    a->SetName("A");
    auto* b = new TSample(&owner);
    b->SetName("B");
    owner.RegisterHandler<void(TPropertyObject*)>("APing", [](TPropertyObject*) {});
    a->SetCount(-8);
    a->SetRatio(1.25);
    a->SetText("It's\r\n");
    a->SetFlag(true);
    a->SetShade(shDark);
    a->SetShades((1u << shLight) | (1u << shDark));
    a->SetTint(12636341);
    a->Inner()->SetDepth(7);
    a->Inner()->SetLabel("x");
    a->SetBuddy(b);
    a->Lines()->Add("first");
    a->Lines()->Add("'second'");
    std::vector<uint8_t> blob(40);
    for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<uint8_t>(i * 7);
    a->SetBlob(blob);
    auto* row = static_cast<TRow*>(a->Rows()->Add());
    row->SetSize(2);
    row->Words()->Add("w");
    a->Rows()->Add();
    ApplyComponentText(*a, "object A: TSample\n  OnPing = APing\nend\n", &owner);

    std::string text = WriteComponentText(*a);
    EXPECT_NE(text.find("  Text = 'It'#39's'#13#10\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  Shades = [shLight, shDark]\n"), std::string::npos);
    EXPECT_NE(text.find("  Tint = 12636341\n"), std::string::npos);
    EXPECT_NE(text.find("  Lines.Strings = (\n    'first'\n    #39'second'#39)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  Blob = {\n    00070E"), std::string::npos);
    EXPECT_NE(text.find("  Rows = <\n    item\n      Size = 2\n      Words.Strings = (\n        "
                        "'w')\n    end\n    item\n    end>\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  OnPing = APing\n"), std::string::npos);

    auto* c = new TSample(&owner);
    c->SetName("C");
    std::string body = text.substr(text.find('\n') + 1);
    ApplyComponentText(*c, "object C: TSample\n" + body, &owner);
    std::string again = WriteComponentText(*c);
    EXPECT_EQ(again.substr(again.find('\n')), text.substr(text.find('\n')));
    EXPECT_EQ(c->Buddy(), b);
    EXPECT_EQ(c->Blob(), blob);
    EXPECT_EQ(c->Text(), "It's\r\n");
}

TEST_F(TextRoundTrip, ShortBinaryStaysOnThePropertyLineAndColoursUseIdentifiers) {
    TSample s(nullptr);
    s.SetName("S");
    s.SetBlob(std::vector<uint8_t>{0xAB, 0x01});
    s.SetTint(clWindowText);
    std::string text = WriteComponentText(s);
    EXPECT_NE(text.find("  Blob = {AB01}\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  Tint = clWindowText\n"), std::string::npos);
}

TEST_F(TextRoundTrip, ParserAcceptsPropertyLinesWithoutSpaces) {
    TSample s(nullptr);
    ApplyComponentText(s, "object S: TSample\nCount=5\nInner.Label='Small Fonts'\nShades=[]\nend",
                       nullptr);
    EXPECT_EQ(s.Count(), 5);
    EXPECT_EQ(s.Inner()->Label(), "Small Fonts");
}

TEST_F(TextRoundTrip, CollectionIsClearedBeforeItIsRead) {
    TSample s(nullptr);
    s.Rows()->Add();
    s.Rows()->Add();
    ApplyComponentText(
        s, "object S: TSample\n  Rows = <\n    item\n      Size = 9\n    end>\nend\n", nullptr);
    ASSERT_EQ(s.Rows()->Count(), 1);
    EXPECT_EQ(static_cast<TRow*>(s.Rows()->Items(0))->Size(), 9);
}

}  // namespace
