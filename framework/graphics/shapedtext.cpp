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

}  // namespace fw
