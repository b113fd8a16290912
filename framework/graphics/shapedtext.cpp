#include "framework/graphics/shapedtext.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QTextLayout>
#include <QThread>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace fw {

namespace {

struct Shaped {
    QFont font;
    QString text;
    int width = -1;  // measured on first use
    std::optional<QRect> ink;
    std::unique_ptr<QTextLayout> layout;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    // The text as a label: its marks taken out, the marked characters underlined.
    std::unique_ptr<QTextLayout> label;
    qreal labelWidth = 0, labelHeight = 0;
};

struct KeptFont {
    QFont font;
    FontCell cell;
};

// Per thread: fonts and layouts are not shared across threads. Texts most recently used first.
// Set as a thread's cache goes: an application object that outlives it (a static one, ended
// among the exit handlers) must not clear it again.
thread_local bool keptGone = false;

struct Kept {
    std::vector<std::unique_ptr<Shaped>> texts;
    std::vector<KeptFont> fonts;
    ~Kept() { keptGone = true; }
};

void ForgetMainThreadTexts();

Kept& KeptHere() {
    thread_local Kept kept;
    // Fonts must not outlive the application: the main thread's go with it, not at exit.
    thread_local bool decided = false;
    if (!decided) {
        if (const QCoreApplication* app = QCoreApplication::instance()) {
            decided = true;
            if (app->thread() == QThread::currentThread()) qAddPostRoutine(ForgetMainThreadTexts);
        }
    }
    return kept;
}

void ForgetMainThreadTexts() {
    if (keptGone) return;
    KeptHere().texts.clear();
    KeptHere().fonts.clear();
}

Shaped& Find(const QFont& font, const QString& text) {
    std::vector<std::unique_ptr<Shaped>>& kept = KeptHere().texts;
    auto hit = std::find_if(kept.begin(), kept.end(), [&](const std::unique_ptr<Shaped>& s) {
        return s->text == text && s->font == font;
    });
    if (hit == kept.end()) {
        if (kept.size() >= static_cast<std::size_t>(kShapedTextsKept)) kept.pop_back();
        auto s = std::make_unique<Shaped>();
        s->font = font;
        s->text = text;
        kept.insert(kept.begin(), std::move(s));
    } else {
        std::rotate(kept.begin(), hit, hit + 1);
    }
    return *kept.front();
}

// A layout breaks lines and expands tabs where a plain drawText does not; such texts are drawn
// the plain way.
bool LaysOutAsOneLine(const QString& text) {
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    });
}

const QTextLayout& LayoutOf(Shaped& s, Qt::LayoutDirection direction) {
    if (s.layout && s.direction == direction) return *s.layout;
    auto layout = std::make_unique<QTextLayout>(s.text, s.font);
    QTextOption option;
    option.setTextDirection(direction);
    // From the left edge whatever the direction, as drawText places a line.
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::NoWrap);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) line.setPosition(QPointF(0, 0));
    layout->endLayout();
    s.layout = std::move(layout);
    s.direction = direction;
    return *s.layout;
}

// A label's text without its access-key marks, and the characters they underline.
QString WithoutMarks(const QString& text, QList<QTextLayout::FormatRange>& underlined) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (++i == text.size()) break;  // a last "&" marks nothing
            if (text[i] != '&') {
                QTextLayout::FormatRange r;
                r.start = static_cast<int>(out.size());
                r.length = 1;
                r.format.setFontUnderline(true);
                underlined.append(r);
            }
        }
        out += text[i];
    }
    return out;
}

// Laid out as drawText lays out a line: from the left, unbroken, at the top of its cell.
Shaped& LabelOf(const QFont& font, const QString& text, bool marks) {
    Shaped& s = Find(font, marks ? text : QString(QChar(0x1F)) + text);
    if (s.label) return s;
    QList<QTextLayout::FormatRange> underlined;
    auto layout =
        std::make_unique<QTextLayout>(marks ? WithoutMarks(text, underlined) : text, font);
    QTextOption option;
    option.setAlignment(Qt::AlignLeft);
    option.setTextDirection(Qt::LeftToRight);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->setFormats(underlined);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
        line.setLineWidth(0x01000000);
        line.setPosition(QPointF(0, 0));
        s.labelWidth = line.naturalTextWidth();
        s.labelHeight = line.ascent() + line.descent();
    }
    layout->endLayout();
    s.label = std::move(layout);
    return s;
}

}  // namespace

FontCell ShapedFontCell(const QFont& font) {
    std::vector<KeptFont>& kept = KeptHere().fonts;
    auto hit =
        std::find_if(kept.begin(), kept.end(), [&](const KeptFont& k) { return k.font == font; });
    if (hit != kept.end()) return hit->cell;
    if (kept.size() >= static_cast<std::size_t>(kShapedTextsKept)) kept.erase(kept.begin());
    const QFontMetrics m(font);
    kept.push_back({font, {m.ascent(), m.descent()}});
    return kept.back().cell;
}

int ShapedTextWidth(const QFont& font, const QString& text) {
    Shaped& s = Find(font, text);
    if (s.width < 0) s.width = QFontMetrics(font).horizontalAdvance(text);
    return s.width;
}

QRect ShapedTextInk(const QFont& font, const QString& text) {
    if (!LaysOutAsOneLine(text)) return {};
    Shaped& s = Find(font, text);
    if (!s.ink) s.ink = QFontMetrics(font).tightBoundingRect(text);
    return *s.ink;
}

void DrawShapedText(QPainter& painter, int x, int baseline, const QString& text) {
    if (text.isEmpty()) return;
    if (!LaysOutAsOneLine(text)) {
        painter.drawText(QPoint(x, baseline), text);
        return;
    }
    const QTextLayout& layout = LayoutOf(Find(painter.font(), text), painter.layoutDirection());
    if (layout.lineCount() != 1) {
        painter.drawText(QPoint(x, baseline), text);
        return;
    }
    const QTextLine line = layout.lineAt(0);
    layout.draw(&painter, QPointF(x, baseline - line.ascent()));
}

void DrawShapedLabel(QPainter& painter, const QRect& rect, int flags, const QString& text) {
    if (text.isEmpty() || painter.pen().style() == Qt::NoPen) return;
    // (Qt::AlignBaseline shares its bit with Qt::TextSingleLine: no vertical mask here.)
    constexpr int kHorizontal = Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter;
    constexpr int kVertical = Qt::AlignTop | Qt::AlignBottom | Qt::AlignVCenter;
    constexpr int kOneLine = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs |
                             Qt::TextDontClip | kHorizontal | kVertical;
    if ((flags & ~kOneLine) || painter.layoutDirection() != Qt::LeftToRight ||
        !LaysOutAsOneLine(text) || text.isRightToLeft() || text.contains(QChar(0x9C))) {
        painter.drawText(rect, flags, text);
        return;
    }
    const Shaped& s = LabelOf(painter.font(), text, flags & Qt::TextShowMnemonic);
    if (s.label->lineCount() != 1) {
        painter.drawText(rect, flags, text);
        return;
    }
    const QRectF r(rect);
    qreal x = 0, y = 0;
    if (flags & Qt::AlignRight)
        x = r.width() - s.labelWidth;
    else if (flags & Qt::AlignHCenter)
        x = (r.width() - s.labelWidth) / 2;
    if (flags & Qt::AlignBottom)
        y = r.height() - s.labelHeight;
    else if (flags & Qt::AlignVCenter)
        y = (r.height() - s.labelHeight) / 2;
    const bool clip = !(flags & Qt::TextDontClip) &&
                      !r.contains(QRectF(r.x() + x, r.y() + y, s.labelWidth, s.labelHeight));
    if (clip) {
        painter.save();
        painter.setClipRect(r, Qt::IntersectClip);
    }
    // The line is placed by its advance, as drawText places it.
    const qreal advance = s.label->lineAt(0).horizontalAdvance();
    if (flags & Qt::AlignRight)
        x = r.width() - advance;
    else if (flags & Qt::AlignHCenter)
        x = (r.width() - advance) / 2;
    else
        x = 0;
    s.label->draw(&painter, QPointF(r.x() + x, r.y() + y));
    if (clip) painter.restore();
}

}  // namespace fw
