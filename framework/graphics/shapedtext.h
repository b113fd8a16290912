#pragma once
// Text shaped once and drawn many times. Shaping (finding the glyphs and their places) is the
// dearest part of drawing a line of text, and a window repaints the same few texts in the same
// fonts over and over: a marquee steps twenty times a second, and every label it overlaps
// repaints with it. The last texts drawn or measured on a thread keep their shaped glyphs.
#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>

namespace fw {

// The font's ascent and descent as QFontMetrics gives them; kept per font like the texts.
struct FontCell {
    int ascent = 0;
    int descent = 0;
};
FontCell ShapedFontCell(const QFont& font);

// The text's advance, as QFontMetrics(font).horizontalAdvance(text) gives it.
int ShapedTextWidth(const QFont& font, const QString& text);

// The pixels the text can touch when drawn with its baseline's start at (0, 0), as
// QFontMetrics(font).tightBoundingRect(text) gives them; a null rectangle when that is not known
// (texts that a plain drawText would expand or break).
QRect ShapedTextInk(const QFont& font, const QString& text);

// Draws the text as painter.drawText(QPoint(x, baseline), text) would, with the painter's font,
// pen and layout direction.
void DrawShapedText(QPainter& painter, int x, int baseline, const QString& text);

// Draws the text as painter.drawText(rect, flags, text) would for a line of one text: flags
// of Qt::TextSingleLine, Qt::TextShowMnemonic (a single "&" underlines the next character,
// "&&" shows one "&"), Qt::TextExpandTabs, Qt::TextDontClip and one horizontal and one
// vertical alignment. Anything else (tabs, breaks, right-to-left text) is drawn the plain way.
void DrawShapedLabel(QPainter& painter, const QRect& rect, int flags, const QString& text);

// How many texts a thread keeps shaped; the least recently used goes first. Enough for a
// window's labels and the captions of a menu and its open submenus.
constexpr int kShapedTextsKept = 24;

}  // namespace fw
