#include "framework/controls/labels.h"

#include <algorithm>

#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/drawtext.h"
#include "platform/strings.h"

namespace fw {

const EnumInfo& AlignmentInfo() {
    static const EnumInfo info{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
    return info;
}

namespace {
const EnumInfo& LayoutInfo() {
    static const EnumInfo info{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};
    return info;
}

// A canvas for measuring text outside painting.
TCanvas& MeasureCanvas() {
    static TBitmap bmp(1, 1);
    return bmp.Canvas();
}

using platform::SplitLines;

// Breaks lines at blanks so that each fits the width (a single long word stays whole).
std::vector<std::string> WrapLines(TCanvas& canvas, const std::vector<std::string>& in, int width) {
    std::vector<std::string> out;
    for (const std::string& line : in)
        WrapWords(
            line, width, [&](const std::string& t) { return canvas.TextWidth(t); }, out);
    return out;
}
}  // namespace

std::string StripAccelChars(const std::string& caption, char* accessKey) {
    std::string out;
    if (accessKey) *accessKey = 0;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != '&' && accessKey && !*accessKey)
                *accessKey =
                    static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i])));
        }
        out += caption[i];
    }
    return out;
}

const TClassInfo& TCustomLabel::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TCustomLabel>("TCustomLabel", &TGraphicControl::StaticClassInfo())
            .Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment,
                  AlignmentInfo(), taLeftJustify)
            .Boolean("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, true)
            .Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, LayoutInfo(), tlTop)
            .Boolean("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar,
                     true)
            .Boolean("Transparent", &TControl::Transparent, &TCustomLabel::SetTransparent, false)
            .Boolean("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false)
            .Build();
    return info;
}

const TClassInfo& TLabel::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TLabel>("TLabel", &TCustomLabel::StaticClassInfo()).Creatable().Build();
    return info;
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() | csOpaque);
    TControl::SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAutoSize(bool v) {
    if (SetIfChanged(autoSize_, v)) AdjustBounds();
}
void TCustomLabel::SetAlignment(TAlignment a) {
    if (SetIfChanged(alignment_, a)) Invalidate();
}
void TCustomLabel::SetLayout(TTextLayout l) {
    if (SetIfChanged(layout_, l)) Invalidate();
}
void TCustomLabel::SetWordWrap(bool v) {
    if (!SetIfChanged(wordWrap_, v)) return;
    AdjustBounds();
    Invalidate();
}
void TCustomLabel::SetShowAccelChar(bool v) {
    if (!SetIfChanged(showAccelChar_, v)) return;
    AdjustBounds();
    Invalidate();
}
void TCustomLabel::SetTransparent(bool v) { TControl::SetTransparent(v); }

std::string TCustomLabel::DisplayText() const {
    return showAccelChar_ ? StripAccelChars(Caption()) : Caption();
}

void TCustomLabel::TextChanged() { AdjustBounds(); }
void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}
void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::AdjustBounds() {
    if (!autoSize_ || Loading()) return;
    TCanvas& c = MeasureCanvas();
    c.SetFont(*Font());
    std::vector<std::string> lines = SplitLines(DisplayText());
    if (wordWrap_) lines = WrapLines(c, lines, Width());
    int w = 0;
    for (const auto& l : lines) w = std::max(w, c.TextWidth(l));
    int h = c.TextHeight("Wg") * static_cast<int>(lines.size());
    if (wordWrap_) w = Width();
    int left = Left();
    if (alignment_ == taRightJustify) left = Left() + Width() - w;
    SetBounds(left, Top(), w, h);
}

std::vector<TPoint> TCustomLabel::LinePlaces(TCanvas& c) {
    c.SetFont(*Font());
    if (!Enabled()) c.Font().SetColor(clGrayText);
    const Measured& m = Measure(c);
    const int total = m.lineHeight * static_cast<int>(m.lines.size());
    int y = 0;
    if (layout_ == tlCenter) y = (Height() - total) / 2;
    if (layout_ == tlBottom) y = Height() - total;
    std::vector<TPoint> places;
    for (const int w : m.widths) {
        int x = 0;
        if (alignment_ == taRightJustify) x = Width() - w;
        if (alignment_ == taCenter) x = (Width() - w) / 2;
        places.push_back({x, y});
        y += m.lineHeight;
    }
    return places;
}

void TCustomLabel::Paint() {
    TCanvas& c = *Canvas();
    if (!Transparent()) {
        c.Brush().SetColor(Color());
        c.Brush().SetStyle(bsSolid);
        c.FillRect(ClientRect());
    }
    c.Brush().SetStyle(bsClear);
    const std::vector<TPoint> places = LinePlaces(c);
    for (std::size_t i = 0; i < places.size(); ++i)
        c.TextRect(ClientRect(), places[i].X, places[i].Y, measured_.lines[i]);
}

TRect TCustomLabel::PaintedRect() {
    if (!Transparent()) return ClientRect();
    const std::vector<TPoint> places = LinePlaces(MeasureCanvas());
    TRect ink;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const std::optional<TRect>& line = measured_.inks[i];
        if (!line) return ClientRect();
        if (line->IsEmpty()) continue;
        const TRect r = line->Offset(places[i].X, places[i].Y);
        ink = ink.IsEmpty() ? r
                            : TRect{std::min(ink.Left, r.Left), std::min(ink.Top, r.Top),
                                    std::max(ink.Right, r.Right), std::max(ink.Bottom, r.Bottom)};
    }
    return ink.Intersect(ClientRect());
}

const TCustomLabel::Measured& TCustomLabel::Measure(TCanvas& c) {
    std::string text = DisplayText();
    Measured& m = measured_;
    if (m.width == Width() && m.wordWrap == wordWrap_ && m.text == text && m.font == c.Font())
        return m;
    m.lines = SplitLines(text);
    if (wordWrap_) m.lines = WrapLines(c, m.lines, Width());
    m.widths.clear();
    m.inks.clear();
    for (const auto& line : m.lines) {
        m.widths.push_back(c.TextWidth(line));
        m.inks.push_back(c.TextInkRect(0, 0, line));
    }
    m.lineHeight = c.TextHeight("Wg");
    m.text = std::move(text);
    m.font = c.Font();
    m.width = Width();
    m.wordWrap = wordWrap_;
    return m;
}

}  // namespace fw
