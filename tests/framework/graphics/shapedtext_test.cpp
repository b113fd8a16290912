#include "framework/graphics/shapedtext.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <functional>

#include "framework/graphics/qtgraphics.h"
#include "tests/framework/graphics_testsupport.h"

using namespace fw;

namespace {

// Fonts as the canvas makes them (crisp pixel sizes) and as a plain program makes them.
QFont Font(const char* name, int height, TFontStyles style = 0) {
    TFont f;
    f.SetName(name);
    f.SetHeight(height);
    f.SetStyle(style);
    return ToQFont(f);
}

QImage Paint(const std::function<void(QPainter&)>& draw,
             Qt::LayoutDirection direction = Qt::LeftToRight, qreal scale = 1) {
    QImage img(200, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setLayoutDirection(direction);
    p.scale(scale, scale);
    draw(p);
    return img;
}

// The cached drawing against the toolkit's own drawText of the same text in the same state.
void ExpectSameAsPlain(const QFont& font, const QString& text,
                       Qt::LayoutDirection direction = Qt::LeftToRight, qreal scale = 1,
                       QColor colour = Qt::black) {
    const int baseline = 4 + QFontMetrics(font).ascent();
    auto setUp = [&](QPainter& p) {
        p.setFont(font);
        p.setPen(colour);
    };
    const QImage plain = Paint(
        [&](QPainter& p) {
            setUp(p);
            p.drawText(QPoint(7, baseline), text);
        },
        direction, scale);
    // Twice: the first draw shapes, the second uses what the first kept.
    for (int pass = 0; pass < 2; ++pass) {
        const QImage cached = Paint(
            [&](QPainter& p) {
                setUp(p);
                DrawShapedText(p, 7, baseline, text);
            },
            direction, scale);
        EXPECT_EQ(cached, plain) << text.toStdString() << " pass " << pass;
    }
    EXPECT_NE(plain, Paint([](QPainter&) {})) << "nothing drawn for " << text.toStdString();
}

class ShapedText : public ::testing::Test {
  protected:
    void SetUp() override { gfxtest::EnsureApp(); }
};

TEST_F(ShapedText, DrawsWhatDrawTextDrawsInEveryStyleAndDirection) {
    ExpectSameAsPlain(Font("Arial", -9), "build-host.example  ");
    ExpectSameAsPlain(Font("Arial", -9, fsBold), "Local IP : 10.0.0.7");
    ExpectSameAsPlain(Font("Arial", -12, fsUnderline | fsStrikeOut), "under and through");
    ExpectSameAsPlain(Font("Arial", -12, fsItalic), "slanted fi ffl");
    ExpectSameAsPlain(QFont("DejaVu Sans", 11), "ligatures: office");
    // Right-to-left and mixed runs, and a script whose letters join.
    ExpectSameAsPlain(QFont("DejaVu Sans", 11), QString::fromUtf8("שלום עולם"));
    ExpectSameAsPlain(QFont("DejaVu Sans", 11), QString::fromUtf8("host שלום 42 end"));
    ExpectSameAsPlain(QFont("DejaVu Sans", 11), QString::fromUtf8("مرحبا بالعالم"));
    ExpectSameAsPlain(QFont("DejaVu Sans", 11), QString::fromUtf8("abc שלום"), Qt::RightToLeft);
    // Under a scaled painter (a doubled screen).
    ExpectSameAsPlain(Font("Arial", -9), "scaled twice", Qt::LeftToRight, 2);
}

TEST_F(ShapedText, TextsALayoutWouldBreakStayOnOneLine) {
    ExpectSameAsPlain(Font("Arial", -12), "one\ttab");
    ExpectSameAsPlain(Font("Arial", -12), "two\nlines");
    ExpectSameAsPlain(Font("Arial", -12), "cr\rhere");
    ExpectSameAsPlain(Font("Arial", -12), QString("line") + QChar(QChar::LineSeparator) + "sep");
}

TEST_F(ShapedText, KeptGlyphsFollowTheFontPenAndDirectionOfEachDraw) {
    const QString text = "host-name";
    ExpectSameAsPlain(Font("Arial", -9), text);
    // The same text again in another size, weight, colour and direction: nothing stale.
    ExpectSameAsPlain(Font("Arial", -14), text);
    ExpectSameAsPlain(Font("Arial", -9, fsBold), text);
    ExpectSameAsPlain(Font("Arial", -9), text, Qt::LeftToRight, 1, Qt::red);
    ExpectSameAsPlain(QFont("DejaVu Sans", 11), QString::fromUtf8("abc שלום"), Qt::LeftToRight);
    ExpectSameAsPlain(QFont("DejaVu Sans", 11), QString::fromUtf8("abc שלום"), Qt::RightToLeft);
}

TEST_F(ShapedText, TheLeastRecentlyUsedTextsMakeRoomAndComeBackShapedAfresh) {
    const QFont font = Font("Arial", -12);
    for (int i = 0; i < kShapedTextsKept + 5; ++i)
        ExpectSameAsPlain(font, QString("text %1").arg(i * 7));
    ExpectSameAsPlain(font, "text 0");
    ExpectSameAsPlain(font, QString("text %1").arg((kShapedTextsKept + 4) * 7));
}

TEST_F(ShapedText, WidthIsTheFontMetricsAdvanceForEveryFontAndText) {
    const QFont small = Font("Arial", -9), big = Font("Arial", -20, fsBold);
    for (const QString& text : {QString(), QString("a"), QString("Local IP : 192.168.100.200"),
                                QString::fromUtf8("مرحبا"), QString("tab\there")}) {
        // Twice each, in both fonts in turn: a kept width never answers for the other font.
        for (int pass = 0; pass < 2; ++pass) {
            EXPECT_EQ(ShapedTextWidth(small, text), QFontMetrics(small).horizontalAdvance(text));
            EXPECT_EQ(ShapedTextWidth(big, text), QFontMetrics(big).horizontalAdvance(text));
        }
    }
    EXPECT_LT(ShapedTextWidth(small, "wide text"), ShapedTextWidth(big, "wide text"));
}

TEST_F(ShapedText, FontCellIsTheFontMetricsAscentAndDescentOfEachFont) {
    std::vector<QFont> fonts;
    for (int h = -6; h >= -6 - kShapedTextsKept - 3; --h) fonts.push_back(Font("Arial", h));
    fonts.push_back(Font("Arial", -9, fsBold));
    fonts.push_back(QFont("DejaVu Sans Mono", 30));
    // Round the list twice, so that every font is asked for after the others pushed it out.
    for (int round = 0; round < 2; ++round)
        for (const QFont& f : fonts) {
            const FontCell cell = ShapedFontCell(f);
            EXPECT_EQ(cell.ascent, QFontMetrics(f).ascent()) << f.toString().toStdString();
            EXPECT_EQ(cell.descent, QFontMetrics(f).descent()) << f.toString().toStdString();
        }
    EXPECT_LT(ShapedFontCell(fonts.front()).ascent, ShapedFontCell(fonts.back()).ascent);
}

}  // namespace

namespace {

// A label drawn through the kept layouts against drawText of the same rectangle and flags.
void ExpectLabelSameAsPlain(const QFont& font, const QString& text, QRect rect, int flags) {
    auto draw = [&](bool kept) {
        return Paint([&](QPainter& p) {
            p.setFont(font);
            p.setPen(Qt::black);
            if (kept)
                DrawShapedLabel(p, rect, flags, text);
            else
                p.drawText(rect, flags, text);
        });
    };
    const QImage plain = draw(false);
    for (int pass = 0; pass < 2; ++pass)
        EXPECT_EQ(draw(true), plain) << text.toStdString() << " in " << rect.width() << "x"
                                     << rect.height() << " flags " << flags << " pass " << pass;
}

}  // namespace

TEST_F(ShapedText, LabelsDrawWhatDrawTextDrawsInTheirRectangle) {
    constexpr int kLabel = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs;
    const QFont small = Font("Small Fonts", -9), bold = Font("Arial", -11, fsBold);
    const QRect wide(5, 3, 150, 17), tight(5, 3, 18, 9);
    struct Case {
        QString text;
        QRect rect;
        int flags;
    };
    const Case cases[] = {
        {"&Settings", wide, kLabel | Qt::AlignLeft | Qt::AlignVCenter},
        {"Copy to &clipboard", wide, kLabel | Qt::AlignLeft | Qt::AlignVCenter},
        {"&IP ", wide, kLabel | Qt::AlignRight | Qt::AlignVCenter},  // a trailing space
        {"A&&B &x&y", wide, kLabel | Qt::AlignHCenter | Qt::AlignBottom},
        {"trailing&", wide, kLabel | Qt::AlignLeft | Qt::AlignTop},
        {"&", wide, kLabel | Qt::AlignLeft | Qt::AlignVCenter},
        {"Ctrl+F10", wide, kLabel | Qt::AlignRight | Qt::AlignVCenter},
        {"&About...", tight, kLabel | Qt::AlignLeft | Qt::AlignVCenter},  // clipped
        {"&About...", tight, kLabel | Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip},
        {"no &marks shown", wide, Qt::TextSingleLine | Qt::AlignLeft | Qt::AlignVCenter},
        {"tab\t&here", wide, kLabel | Qt::AlignLeft | Qt::AlignVCenter},  // drawn the plain way
    };
    for (const QFont& font : {small, bold})
        for (const Case& c : cases) ExpectLabelSameAsPlain(font, c.text, c.rect, c.flags);
}
