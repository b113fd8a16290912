// Painting of the decorated items and of the banner strip.
#include <algorithm>

#include "framework/app/application.h"
#include "framework/graphics/bitmap.h"
#include "framework/menus/ownerdraw.h"
#include "widgets/bannermenus.h"

namespace ctl {

using namespace fw;

namespace {
// Keeps one painter open on a canvas for a run of operations.
class CanvasLock {
  public:
    explicit CanvasLock(TCanvas& canvas) : canvas_(canvas) { canvas_.Lock(); }
    ~CanvasLock() { canvas_.Unlock(); }
    CanvasLock(const CanvasLock&) = delete;
    CanvasLock& operator=(const CanvasLock&) = delete;

  private:
    TCanvas& canvas_;
};
}  // namespace

void TCustomMenuDecorator::DrawItemRequest(TMessage& m) {
    const TDrawRequest* request = m.Get<TDrawRequest>();
    if (!request || request->Kind != ODT_MENU || !menu_) return;
    TOwnerDrawScope surface(*canvas_, request->Surface);
    if (!surface.Attached()) return;
    canvas_->SetBrush(*brush_);
    canvas_->SetFont(*font_);
    if (TMenuItem* item = FindItem(request->Command)) DrawItem(item, request->Rect, request->State);
    if (request->State & ODS_FOCUS) canvas_->DrawFocusRect(request->Rect);
    m.Result = 1;
}

void TCustomMenuDecorator::DrawItem(TMenuItem* item, TRect rect, unsigned state) {
    const bool selected = state & ODS_SELECTED;
    if (item->Caption().empty()) item->SetCaption(" ");
    if (selected) {
        if (OnHint.fn) item->SetHint(OnHint.fn(menu_, item, item->Hint()));
        if (Application) Application->SetHint(item->Hint());
    }
    if (OnDrawItem.fn && OnDrawItem.fn(menu_, item, rect, state)) return;
    if (bannerInvalid_ && IsBannerItem(item)) {
        bannerInvalid_ = false;
        ComputeBannerRect();
        BannerLook look = CurrentBannerLook(item);
        if (!(look == bannerLook_)) {
            bannerBitmap_.reset();
            bannerLook_ = std::move(look);
        }
    }
    if (banner_) DrawBanner(item, rect);
    if (item->Tag() == -1 || item->Tag() > 4096) {
        DrawMenuBarItem(item, rect, state);
        return;
    }
    const bool titled = !item->Caption().empty() && item->Caption()[0] == '-';
    DrawItemLines(item, rect, titled);
    if (item->Enabled() || alwaysShowSelection_) {
        TCanvas& c = *canvas_;
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(selected && !titled ? hiliteBar_ : brush_->Color());
        c.FillRect(rect);
    }
    DrawGlyphColumn(item, rect, selected);
    DrawItemCaption(item, rect, selected, titled);
}

void TCustomMenuDecorator::DrawItemLines(TMenuItem* item, const TRect& rect, bool titled) {
    TCanvas& c = *canvas_;
    if (titled) {
        // A titled separator is never chosen: it is an etched line with a caption.
        item->SetEnabled(false);
        const int mid = rect.Top + (rect.Bottom - rect.Top) / 2;
        c.Pen().SetStyle(psSolid);
        c.Pen().SetWidth(1);
        c.Pen().SetColor(clBtnShadow);
        c.MoveTo(rect.Left + 1, mid);
        c.LineTo(rect.Right - 1, mid);
        c.Pen().SetColor(clBtnHighlight);
        c.MoveTo(rect.Left + 1, mid + 1);
        c.LineTo(rect.Right - 1, mid + 1);
    }
    if (item->Break() == mbBarBreak) {
        c.Pen().SetColor(clBtnShadow);
        c.MoveTo(rect.Left - 3, bannerRect_.Top);
        c.LineTo(rect.Left - 3, bannerRect_.Bottom);
        c.Pen().SetColor(clBtnHighlight);
        c.MoveTo(rect.Left - 2, bannerRect_.Top);
        c.LineTo(rect.Left - 2, bannerRect_.Bottom);
    }
}

void TCustomMenuDecorator::DrawGlyphCell(const TRect& cell, bool raised) {
    TCanvas& c = *canvas_;
    c.Brush().SetColor(brush_->Color());
    c.FillRect(Rect(cell.Left, cell.Top, cell.Right + 1, cell.Bottom));
    TColor tl = raised ? clBtnHighlight : clBtnShadow;
    TColor br = raised ? clBtnShadow : clBtnHighlight;
    c.Brush().SetColor(tl);
    c.FillRect(Rect(cell.Left, cell.Top, cell.Right, cell.Top + 1));
    c.FillRect(Rect(cell.Left, cell.Top, cell.Left + 1, cell.Bottom));
    c.Brush().SetColor(br);
    c.FillRect(Rect(cell.Left, cell.Bottom - 1, cell.Right, cell.Bottom));
    c.FillRect(Rect(cell.Right - 1, cell.Top, cell.Right, cell.Bottom));
}

void TCustomMenuDecorator::DrawGlyphColumn(TMenuItem* item, const TRect& rect, bool selected) {
    TCanvas& c = *canvas_;
    const bool enabled = item->Enabled();
    const bool hasImage = item->Tag() >= 0 && images_ && item->Tag() < images_->Count();
    if (!enabled && !alwaysShowSelection_) {
        // Disabled without the selection look: the embossed image and nothing else of the
        // glyph column; the text follows.
        if (hasImage) PaintEmbossed(item->Tag(), rect.Left, rect.Top);
        return;
    }
    c.SetFont(*font_);
    TRect cell =
        Rect(rect.Left, rect.Top, rect.Left + glyphWidth_ + 4, rect.Top + MeasureItemHeight(item));
    const bool raised = selected && ((item->Checked() && enabled) || hasImage);
    const bool sunken = enabled && !selected && item->Checked();
    if ((raised || sunken) && menuLook_ != mlFlatLook) DrawGlyphCell(cell, raised);
    if (enabled) {
        if (hasImage)
            images_->Draw(c, rect.Left + 2, rect.Top + 2, item->Tag());
        else if (item->Checked())
            PaintMark(item->RadioItem() ? *radioMark_ : *checkMark_, rect.Left + 1, rect.Top + 1);
    } else if (hasImage) {
        PaintEmbossed(item->Tag(), rect.Left, rect.Top);
    }
}

void TCustomMenuDecorator::DrawItemCaption(TMenuItem* item, const TRect& rect, bool selected,
                                           bool titled) {
    TFont f(selected ? *hiliteFont_ : *font_);
    if (menu_ && item->Default()) f.SetStyle(f.Style() | fsBold);
    canvas_->SetFont(f);
    TRect tr = rect;
    tr.Left += glyphWidth_ + 7;
    std::string text =
        titled ? item->Caption().substr(1) : CaptionText(item->Caption(), bannerSeparator_);
    std::string shortcut = ShortCutToText(item->ShortCut());
    if (item->Enabled()) {
        DrawItemText(item, tr, text, shortcut, f.Color(), 0, 0);
        return;
    }
    // Disabled: a highlight copy one pixel down and right, the shadow text over it.
    DrawItemText(item, tr, text, shortcut, clBtnHighlight, 1, 1);
    if (!(alwaysShowSelection_ && selected && !titled))
        DrawItemText(item, tr, text, shortcut, clBtnShadow, 0, 0);
}

void TCustomMenuDecorator::DrawItemText(TMenuItem*, const TRect& rect, const std::string& text,
                                        const std::string& shortcut, TColor color, int dx, int dy) {
    TFont& font = canvas_->Font();
    const TColor keep = font.Color();
    font.SetColor(color);
    TRect r = rect.Offset(dx, dy);
    if (!shortcut.empty()) r.Right -= checkWidth_;
    canvas_->LabelRect(r, text, laLeft);
    if (!shortcut.empty()) canvas_->LabelRect(r, shortcut, laRight);
    font.SetColor(keep);
}

void TCustomMenuDecorator::PaintMark(const TBitmap& mark, int x, int y) {
    // White pixels take the brush colour; silver and black are copied as they are.
    TCanvas& c = *canvas_;
    c.Save();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(brush_->Color());
    c.BrushCopy(
        Bounds(x, y, glyphWidth_, glyphHeight_), mark,
        Rect(0, 0, std::min(mark.Width(), glyphWidth_), std::min(mark.Height(), glyphHeight_)),
        clWhite);
    c.Restore();
}

void TCustomMenuDecorator::PaintEmbossed(int index, int x, int y) {
    TBitmap mask;
    images_->GetMask(index, mask);
    TColor keep = canvas_->Brush().Color();
    canvas_->Brush().SetColor(clBtnHighlight);
    canvas_->BrushMask(x + 1, y + 1, mask);
    canvas_->Brush().SetColor(clBtnShadow);
    canvas_->BrushMask(x, y, mask);
    canvas_->Brush().SetColor(keep);
}

// The banner strip

void TCustomMenuDecorator::ComputeBannerRect() { bannerRect_ = {}; }

void TCustomMenuDecorator::PaintColorBands(TCanvas& canvas, const TRect& b) {
    for (const ColorBand& band :
         ColorBands(bannerNumColors_, b.Top, b.Height(), ColorToRGB(bannerColor_),
                    ColorToRGB(bannerEndColor_))) {
        if (band.bottom <= band.top) continue;
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(band.color);
        canvas.FillRect(Rect(b.Left, band.top, b.Right, band.bottom));
    }
}

void TCustomMenuDecorator::BuildBannerBitmap(TMenuItem* item) {
    const int w = bannerRect_.Width(), h = bannerRect_.Height();
    bannerBitmap_ = std::make_unique<TBitmap>(std::max(w, 0), std::max(h, 0));
    if (w <= 0 || h <= 0) return;
    TCanvas& bc = bannerBitmap_->Canvas();
    TRect b = Rect(0, 0, w, h);
    CanvasLock bands(bc);  // one painter for every band and the text
    if (bannerColor_ == bannerEndColor_) {
        bc.Brush().SetStyle(bsSolid);
        bc.Brush().SetColor(bannerColor_);
        bc.FillRect(b);
    } else {
        PaintColorBands(bc, b);
    }
    TRect area = BannerTextArea(b, bannerImage_);
    const std::string text = BannerTextFor(item);
    if (text.empty()) return;
    bc.SetFont(*bannerFont_);
    const TSize extent = bc.LabelExtent(text);
    const TSize cell{extent.cx, extent.cy + 2};
    TPoint at = BannerTextOrigin(bannerJustification_, bannerDirection_, area, cell.cx, cell.cy);
    bc.LabelTurned(at.X, at.Y, cell, text, bannerDirection_ == bdUpwards);
}

std::string TCustomMenuDecorator::BannerTextFor(TMenuItem* item) const {
    std::string text = CaptionBannerText(BannerSourceItem(item)->Caption(), bannerSeparator_);
    return text.empty() ? bannerText_ : text;
}

TCustomMenuDecorator::BannerLook TCustomMenuDecorator::CurrentBannerLook(TMenuItem* item) const {
    BannerLook look;
    look.width = bannerRect_.Width();
    look.height = bannerRect_.Height();
    look.from = ColorToRGB(bannerColor_);
    look.to = ColorToRGB(bannerEndColor_);
    look.bands = bannerNumColors_;
    look.image = bannerImage_;
    look.justification = bannerJustification_;
    look.direction = bannerDirection_;
    look.text = BannerTextFor(item);
    look.fontName = bannerFont_->Name();
    look.fontHeight = bannerFont_->Height();
    look.fontStyle = bannerFont_->Style();
    look.fontColor = ColorToRGB(bannerFont_->Color());
    look.fontPitch = bannerFont_->Pitch();
    return look;
}

void TCustomMenuDecorator::DrawBanner(TMenuItem* item, TRect& rect) {
    if (!IsBannerItem(item)) return;
    rect = NarrowForBanner(bannerAlignment_, rect, bannerRect_, bannerWidth_);
    if (!bannerBitmap_) BuildBannerBitmap(item);
    if (bannerBitmap_->Empty()) return;
    const int w = bannerBitmap_->Width(), h = bannerBitmap_->Height();
    canvas_->CopyTransparent(Bounds(bannerRect_.Left, bannerRect_.Top, w, h), *bannerBitmap_,
                             Rect(0, 0, w, h), clNone);
}

}  // namespace ctl
