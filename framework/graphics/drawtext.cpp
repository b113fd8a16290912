#include "framework/graphics/drawtext.h"

#include <QFontMetrics>
#include <algorithm>
#include <vector>

#include "framework/graphics/qtgraphics.h"
#include "platform/strings.h"

namespace fw {

namespace {

// One line as drawn: its text and where the access-key underline goes (-1: none).
struct Line {
    std::string text;
    int underline = -1;
};

// Removes the "&" marks; the first marked character's index in the result, or -1.
Line StripPrefix(const std::string& s) {
    Line out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 >= s.size()) break;  // a trailing "&" marks nothing
            ++i;
            if (s[i] != '&' && out.underline < 0) out.underline = static_cast<int>(out.text.size());
        }
        out.text += s[i];
    }
    return out;
}

class Measure {
  public:
    Measure(const TCanvas& canvas, bool expandTabs)
        : metrics_(ToQFont(canvas.Font())), expandTabs_(expandTabs) {
        tab_ = std::max(1, 8 * metrics_.averageCharWidth());
    }
    int LineHeight() const { return metrics_.ascent() + metrics_.descent(); }
    int Ascent() const { return metrics_.ascent(); }
    // Width of a line; tabs jump to the next multiple of eight average characters.
    int Width(const std::string& s) const { return XAt(s, s.size()); }
    // Where character i of s begins.
    int XAt(const std::string& s, size_t i) const {
        int x = 0;
        size_t start = 0;
        for (size_t k = 0; k < i && k < s.size(); ++k) {
            if (expandTabs_ && s[k] == '\t') {
                x += Advance(s.substr(start, k - start));
                x = (x / tab_ + 1) * tab_;
                start = k + 1;
            }
        }
        return x + Advance(s.substr(start, std::min(i, s.size()) - start));
    }
    int Advance(const std::string& s) const {
        return metrics_.horizontalAdvance(QString::fromStdString(s));
    }
    bool ExpandTabs() const { return expandTabs_; }
    int Tab() const { return tab_; }

  private:
    QFontMetrics metrics_;
    bool expandTabs_;
    int tab_;
};

std::vector<std::string> SplitLines(const std::string& s, bool single) {
    std::vector<std::string> lines;
    if (single) {
        std::string one;
        for (char c : s)
            if (c != '\r' && c != '\n') one += c;
        lines.push_back(one);
        return lines;
    }
    return platform::SplitLines(s);
}

}  // namespace

void WrapWords(const std::string& line, int width,
               const std::function<int(const std::string&)>& widthOf,
               std::vector<std::string>& out) {
    std::string cur;
    size_t i = 0;
    for (;;) {
        size_t sp = line.find(' ', i);
        std::string word = line.substr(i, sp == std::string::npos ? std::string::npos : sp - i);
        std::string candidate = cur.empty() ? word : cur + " " + word;
        if (!cur.empty() && widthOf(candidate) > width) {
            out.push_back(cur);
            cur = word;
        } else {
            cur = candidate;
        }
        if (sp == std::string::npos) break;
        i = sp + 1;
    }
    out.push_back(cur);
}

int DrawText(TCanvas& canvas, const std::string& text, TRect& rect, unsigned flags) {
    if (text.empty()) {
        if (flags & DT_CALCRECT) {
            rect.Right = rect.Left;
            rect.Bottom = rect.Top;
        }
        return 0;
    }
    const Measure m(canvas, flags & DT_EXPANDTABS);
    const bool single = flags & DT_SINGLELINE;
    std::vector<std::string> raw;
    for (const std::string& l : SplitLines(text, single)) {
        if ((flags & DT_WORDBREAK) && !single)
            WrapWords(
                l, rect.Width(), [&](const std::string& t) { return m.Width(t); }, raw);
        else
            raw.push_back(l);
    }
    std::vector<Line> lines;
    for (const std::string& l : raw)
        lines.push_back(flags & DT_NOPREFIX ? Line{l, -1} : StripPrefix(l));

    const int lh = m.LineHeight();
    const int height = lh * static_cast<int>(lines.size());
    if (flags & DT_CALCRECT) {
        int w = 0;
        for (const Line& l : lines) w = std::max(w, m.Width(l.text));
        rect.Right = rect.Left + w;
        rect.Bottom = rect.Top + height;
        return height;
    }

    int y = rect.Top;
    if (single && (flags & DT_BOTTOM)) y = rect.Bottom - lh;
    if (single && (flags & DT_VCENTER)) y = rect.Top + (rect.Height() - lh) / 2;
    canvas.Save();
    if (!(flags & DT_NOCLIP)) canvas.IntersectClipRect(rect);
    for (const Line& l : lines) {
        const int w = m.Width(l.text);
        int x = rect.Left;
        if (flags & DT_RIGHT)
            x = rect.Right - w;
        else if (flags & DT_CENTER)
            x = rect.Left + (rect.Width() - w) / 2;
        if (m.ExpandTabs() && l.text.find('\t') != std::string::npos) {
            // Piece by piece, each piece at its tab stop.
            size_t start = 0;
            for (size_t k = 0; k <= l.text.size(); ++k) {
                if (k < l.text.size() && l.text[k] != '\t') continue;
                std::string piece = l.text.substr(start, k - start);
                if (!piece.empty()) canvas.TextOut(x + m.XAt(l.text, start), y, piece);
                start = k + 1;
            }
        } else {
            canvas.TextOut(x, y, l.text);
        }
        if (l.underline >= 0) {
            const int ux = x + m.XAt(l.text, static_cast<size_t>(l.underline));
            const int uw = m.Advance(l.text.substr(static_cast<size_t>(l.underline), 1));
            const TColor saved = canvas.Pen().Color();
            const TPenStyle style = canvas.Pen().Style();
            canvas.Pen().SetColor(canvas.Font().Color());
            canvas.Pen().SetStyle(psSolid);
            canvas.MoveTo(ux, y + m.Ascent() + 1);
            canvas.LineTo(ux + uw, y + m.Ascent() + 1);
            canvas.Pen().SetColor(saved);
            canvas.Pen().SetStyle(style);
        }
        y += lh;
    }
    canvas.Restore();
    return height;
}

}  // namespace fw
