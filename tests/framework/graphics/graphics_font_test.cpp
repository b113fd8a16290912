#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <climits>
#include <utility>

#include "framework/core/classbuilder.h"
#include "framework/graphics/qtgraphics.h"
#include "framework/text/componenttext.h"
#include "tests/framework/graphics_testsupport.h"

using namespace fw;

namespace {

class TFontHolder : public TComponent {
    FW_CLASS(TFontHolder)
  public:
    explicit TFontHolder(TComponent* owner) : TComponent(owner) {}
    TFont* Font() const { return &font_; }

  private:
    mutable TFont font_;
};

const TClassInfo& TFontHolder::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TFontHolder>("TFontHolder", &TComponent::StaticClassInfo())
            .Object("Font", &TFontHolder::Font)
            .Build();
    return info;
}

TEST(GraphicsFont, SizeAndHeightAtNinetySixDotsPerInch) {
    struct Pair {
        int size, height;
    };
    for (Pair p : {Pair{6, -8}, Pair{7, -9}, Pair{8, -11}, Pair{9, -12}, Pair{12, -16}}) {
        SCOPED_TRACE(p.size);
        EXPECT_EQ(FontSizeToHeight(p.size), p.height);
        EXPECT_EQ(FontHeightToSize(p.height), p.size);
    }
    // A positive (cell) height gives a negative size, and that size gives the height back.
    EXPECT_EQ(FontHeightToSize(16), -12);
    EXPECT_EQ(FontSizeToHeight(-12), 16);
    EXPECT_EQ(FontHeightToSize(0), 0);
}

TEST(GraphicsFont, DefaultsSettersAndChangeNotification) {
    TFont f;
    EXPECT_EQ(f.Name(), "MS Sans Serif");
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Color(), clWindowText);
    EXPECT_EQ(f.Style(), 0u);

    int changes = 0;
    f.OnChange = [&] { ++changes; };
    f.SetSize(7);
    EXPECT_EQ(f.Height(), -9);
    f.SetHeight(-9);  // unchanged: no notification
    f.SetStyle(fsBold | fsUnderline);
    EXPECT_EQ(changes, 2);

    TFont g;
    g.OnChange = [&] { changes += 10; };
    g.Assign(f);
    EXPECT_TRUE(g == f);
    EXPECT_EQ(changes, 12);  // one notification for the whole copy
    g.Assign(f);
    EXPECT_EQ(changes, 12);
    g.SetName("ms sans serif");  // names compare without case
    EXPECT_TRUE(g == f);
}

TEST(GraphicsFont, RoundTripThroughComponentText) {
    ComponentPtr<TFontHolder> a(new TFontHolder(nullptr));
    a->SetName("Holder");
    a->Font()->SetName("Arial");
    a->Font()->SetColor(clRed);
    a->Font()->SetSize(7);
    a->Font()->SetStyle(fsBold | fsStrikeOut);
    std::string text = WriteComponentText(*a);
    EXPECT_NE(text.find("Font.Height = -9"), std::string::npos) << text;
    EXPECT_NE(text.find("Font.Color = clRed"), std::string::npos) << text;
    EXPECT_NE(text.find("Font.Name = 'Arial'"), std::string::npos) << text;
    EXPECT_NE(text.find("[fsBold, fsStrikeOut]"), std::string::npos) << text;
    // Size is derived and Pitch is at its default: neither is written.
    EXPECT_EQ(text.find("Font.Size"), std::string::npos) << text;
    EXPECT_EQ(text.find("Font.Pitch"), std::string::npos) << text;
    // Color, Height, Name and Style have no default: written even at the initial values.
    ComponentPtr<TFontHolder> plain(new TFontHolder(nullptr));
    std::string plainText = WriteComponentText(*plain);
    EXPECT_NE(plainText.find("Font.Style = []"), std::string::npos) << plainText;
    EXPECT_NE(plainText.find("Font.Color = clWindowText"), std::string::npos) << plainText;

    ComponentPtr<TFontHolder> b(new TFontHolder(nullptr));
    ApplyComponentText(*b, text, b.get());
    EXPECT_TRUE(*b->Font() == *a->Font());
    EXPECT_EQ(b->Font()->Size(), 7);
}

TEST(GraphicsFont, HeightRuleInQtFont) {
    gfxtest::EnsureApp();
    TFont f;
    f.SetName("Arial");
    f.SetHeight(-9);
    QFont q = ToQFont(f);
    EXPECT_EQ(q.pixelSize(), 9);  // character height = em size
    EXPECT_EQ(QFontInfo(q).family(), "Liberation Sans");

    f.SetHeight(20);  // a cell height
    QFontMetrics m(ToQFont(f));
    EXPECT_NEAR(m.ascent() + m.descent(), 20, 1);

    f.SetStyle(fsItalic | fsUnderline);
    QFont styled = ToQFont(f);
    EXPECT_TRUE(styled.italic());
    EXPECT_TRUE(styled.underline());
    EXPECT_FALSE(styled.bold());
}

// The toolkit font is made once and kept: every change, copy and assignment must show in it.
TEST(GraphicsFont, TheKeptQtFontFollowsEveryChange) {
    gfxtest::EnsureApp();
    TFont f;
    f.SetName("Arial");
    f.SetHeight(-9);
    EXPECT_EQ(ToQFont(f).pixelSize(), 9);
    f.SetName("Courier New");
    EXPECT_EQ(QFontInfo(ToQFont(f)).family(), "Liberation Mono");
    f.SetPitch(fpFixed);
    EXPECT_TRUE(ToQFont(f).fixedPitch());
    f.SetStyle(fsBold);
    EXPECT_TRUE(ToQFont(f).bold());
    f.SetColor(clRed);  // not part of the toolkit font
    EXPECT_TRUE(ToQFont(f).bold());

    // Assigned from a font whose toolkit font was made, and from one whose was not.
    TFont made;
    made.SetName("Arial");
    made.SetHeight(-14);
    (void)ToQFont(made);
    f.Assign(made);
    EXPECT_EQ(ToQFont(f).pixelSize(), 14);
    EXPECT_FALSE(ToQFont(f).bold());
    EXPECT_FALSE(ToQFont(f).fixedPitch());
    TFont fresh;
    fresh.SetName("Arial");
    fresh.SetHeight(-11);
    fresh.SetStyle(fsItalic);
    f.Assign(fresh);
    EXPECT_EQ(ToQFont(f).pixelSize(), 11);
    EXPECT_TRUE(ToQFont(f).italic());
    // A copy keeps the same, and goes its own way after.
    TFont copy(f);
    copy.SetHeight(-20);
    EXPECT_EQ(ToQFont(copy).pixelSize(), 20);
    EXPECT_EQ(ToQFont(f).pixelSize(), 11);
}

// Paints ask for the toolkit font every time: it is made once, and a canvas font assigned
// from a control's font shares the control's toolkit font instead of making its own.
TEST(GraphicsFont, TheToolkitFontIsKeptAndSharedNotRemade) {
    gfxtest::EnsureApp();
    TFont f;
    f.SetHeight(-13);
    const QFont first = f.Toolkit();
    EXPECT_EQ(&f.Toolkit(), &f.Toolkit());
    EXPECT_TRUE(ToQFont(f).isCopyOf(first));
    f.SetColor(clRed);  // the colour is not part of it
    EXPECT_TRUE(ToQFont(f).isCopyOf(first));

    TFont canvasFont;
    canvasFont.Assign(f);
    EXPECT_TRUE(ToQFont(canvasFont).isCopyOf(first));
    TFont copy(f);
    EXPECT_TRUE(ToQFont(copy).isCopyOf(first));
    // Assigning the same face again keeps what the canvas font holds.
    const QFont held = ToQFont(canvasFont);
    canvasFont.Assign(f);
    EXPECT_TRUE(ToQFont(canvasFont).isCopyOf(held));

    f.SetHeight(-20);  // a change makes a new one; the copies keep theirs
    EXPECT_FALSE(ToQFont(f).isCopyOf(first));
    EXPECT_EQ(ToQFont(f).pixelSize(), 20);
    EXPECT_EQ(ToQFont(canvasFont).pixelSize(), 13);
}

// A settings file may hold any int as a height: nothing overflows, the stored height is
// kept as it is, and the platform is not asked for a giant face.
TEST(GraphicsFont, ExtremeHeightsSaturateAndStayDrawable) {
    EXPECT_EQ(FontSizeToHeight(INT_MAX), -INT_MAX);
    EXPECT_EQ(FontSizeToHeight(INT_MIN), INT_MAX);
    EXPECT_EQ(FontHeightToSize(INT_MIN), 1610612736);
    TFont f;
    for (int h : {INT_MIN, -2049, 2049, INT_MAX}) {
        f.SetHeight(h);
        EXPECT_EQ(f.Height(), h);
        const int px = ToQFont(f).pixelSize();
        EXPECT_GE(px, 1) << h;
        EXPECT_LE(px, 4096) << h;
    }
}

// The toolkit is asked for the installed family itself, so that it never searches for a
// fallback of a face it does not have; a face with no installed stand-in is left to it.
TEST(GraphicsFont, ClassicFacesResolveToInstalledFonts) {
    gfxtest::EnsureApp();
    for (auto [name, family] : {std::pair{"MS Sans Serif", "Liberation Sans"},
                                {"Small Fonts", "Liberation Sans"},
                                {"Arial", "Liberation Sans"},
                                {"Courier New", "Liberation Mono"},
                                {"DejaVu Serif", "DejaVu Serif"},
                                {"No Such Face", "No Such Face"}}) {
        TFont f;
        f.SetName(name);
        const QFont q = ToQFont(f);
        EXPECT_EQ(q.family().toLower(), QString(family).toLower()) << name;
        if (q.family() != "No Such Face") {
            EXPECT_EQ(QFontInfo(q).family(), family) << name;
        }
    }
}

}  // namespace
