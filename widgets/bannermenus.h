#pragma once
// Banner menu decorators: non-visual components that turn a menu's items into owner-drawn
// items and paint them with their own fonts, colours and mark bitmaps, with a vertical
// colour-ramp banner along one edge of the top level. The platform menu's requests reach
// them through two hooks: one on the owner form's procedure and one on the popup list.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/controls/controls.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/imagelist.h"
#include "framework/menus/menus.h"
#include "widgets/bannerstrip.h"

namespace fw {
class TBitmap;
}

namespace ctl {

enum TMenuLook { mlFramedLook, mlFlatLook };

using TDrawMenuItemEvent = fw::TEvent<bool(fw::TMenu* Control, fw::TMenuItem* Item,
                                           const fw::TRect& Rect, unsigned State)>;
using TMeasureMenuItemEvent =
    fw::TEvent<void(fw::TMenu* Control, fw::TMenuItem* Item, int& Height, int& Width)>;
using THintEvent =
    fw::TEvent<std::string(fw::TMenu* Control, fw::TMenuItem* Item, const std::string& Hint)>;

// Caption rules: "-" alone is a platform separator; "-Text" a titled separator; otherwise
// the text before the first separator character is the item's text and the rest its banner
// text.
bool IsTitledSeparator(const std::string& caption);
std::string CaptionText(const std::string& caption, char separator);
std::string CaptionBannerText(const std::string& caption, char separator);
// The access key: the character after a single "&", or 0.
char AccessKeyOf(const std::string& caption);

// One sibling's widths for the width rule.
struct SiblingWidth {
    int text = 0;      // TextSize width of its text, before the check-column additions
    int shortcut = 0;  // TextSize width of its shortcut text, 0 without one
    bool hasChildren = false;
};
// The width of an item of a level from its siblings: the two-column rule when shortcuts
// are present, else the widest text; start values for items without a parent.
int LevelItemWidth(const std::vector<SiblingWidth>& siblings, int checkWidth, bool fewerThanTwo,
                   int startText = 0, int startShortcut = 0);

class TCustomMenuDecorator : public fw::TComponent {
    FW_CLASS(TCustomMenuDecorator)
  public:
    explicit TCustomMenuDecorator(fw::TComponent* owner);
    ~TCustomMenuDecorator() override;

    bool Banner() const { return banner_; }
    void SetBanner(bool v) { banner_ = v; }
    const std::string& BannerText() const { return bannerText_; }
    void SetBannerText(const std::string& v) { bannerText_ = v; }
    fw::TFont* BannerFont() const { return bannerFont_.get(); }
    void SetBannerFont(fw::TFont* f) { bannerFont_->Assign(*f); }
    int BannerWidth() const { return bannerWidth_; }
    void SetBannerWidth(int v) { bannerWidth_ = v; }
    fw::TColor BannerColor() const { return bannerColor_; }
    void SetBannerColor(fw::TColor c) { bannerColor_ = c; }
    fw::TColor BannerEndColor() const { return bannerEndColor_; }
    void SetBannerEndColor(fw::TColor c) { bannerEndColor_ = c; }
    int BannerNumColors() const { return bannerNumColors_; }
    void SetBannerNumColors(int v) { bannerNumColors_ = v; }
    TBannerJustification BannerJustification() const { return bannerJustification_; }
    void SetBannerJustification(TBannerJustification v) { bannerJustification_ = v; }
    TBannerAlignment BannerAlignment() const { return bannerAlignment_; }
    void SetBannerAlignment(TBannerAlignment v) { bannerAlignment_ = v; }
    TBannerDirection BannerDirection() const { return bannerDirection_; }
    void SetBannerDirection(TBannerDirection v) { bannerDirection_ = v; }
    int BannerImage() const { return bannerImage_; }
    void SetBannerImage(int v) { bannerImage_ = v; }
    char BannerSeparator() const { return bannerSeparator_; }
    void SetBannerSeparator(char c) { bannerSeparator_ = c; }
    // The separator as a one-character string (window descriptions store it so).
    std::string BannerSeparatorText() const { return std::string(1, bannerSeparator_); }
    void SetBannerSeparatorText(const std::string& s) {
        bannerSeparator_ = s.empty() ? '\0' : s[0];
    }
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int v) { itemHeight_ = v; }
    int ItemWidth() const { return itemWidth_; }
    void SetItemWidth(int v) { itemWidth_ = v; }
    fw::TFont* Font() const { return font_.get(); }
    void SetFont(fw::TFont* f) { font_->Assign(*f); }
    fw::TFont* HiliteFont() const { return hiliteFont_.get(); }
    void SetHiliteFont(fw::TFont* f) { hiliteFont_->Assign(*f); }
    bool DefaultFont() const { return defaultFont_; }
    void SetDefaultFont(bool v);
    fw::TBrush* Brush() const { return brush_.get(); }
    void SetBrush(fw::TBrush* b) { brush_->Assign(*b); }
    fw::TColor HiliteBar() const { return hiliteBar_; }
    void SetHiliteBar(fw::TColor c) { hiliteBar_ = c; }
    bool AlwaysShowSelection() const { return alwaysShowSelection_; }
    void SetAlwaysShowSelection(bool v) { alwaysShowSelection_ = v; }
    TMenuLook MenuLook() const { return menuLook_; }
    void SetMenuLook(TMenuLook v) { menuLook_ = v; }
    fw::TImageList* Images() const { return images_; }
    void SetImages(fw::TImageList* list);
    // Valid only during a measure or paint request.
    fw::TCanvas* Canvas() const { return canvas_.get(); }
    fw::TMenu* Menu() const { return menu_; }

    int GlyphWidth() const { return glyphWidth_; }
    int GlyphHeight() const { return glyphHeight_; }
    int CheckWidth() const { return checkWidth_; }
    int CheckHeight() const { return checkHeight_; }
    const fw::TRect& BannerRect() const { return bannerRect_; }
    bool BannerInvalid() const { return bannerInvalid_; }
    const fw::TBitmap* BannerBitmap() const { return bannerBitmap_.get(); }
    const fw::TBitmap& CheckMarkBitmap() const { return *checkMark_; }
    const fw::TBitmap& RadioMarkBitmap() const { return *radioMark_; }

    TDrawMenuItemEvent OnDrawItem;
    TMeasureMenuItemEvent OnMeasureItem;
    THintEvent OnHint;

    // Text measure: one line, tabs expanded, "&" marking the access key; height + 2.
    fw::TSize TextSize(const std::string& text) const;
    int MeasureItemHeight(fw::TMenuItem* item) const;
    int MeasureItemWidth(fw::TMenuItem* item) const;
    // The answer to a typed character in the open level with the handle: the position of
    // the first visible, enabled item with that access key, or -1.
    virtual int FindAccelerator(char key, fw::TMenuHandle* level);
    virtual fw::TMenuItem* FindItem(unsigned command);
    // Copies the system menu font into the font.
    static void LoadMenuFont(fw::TFont& font);
    // Owner drawing of the item's children, depth first ("-" items left alone), or their
    // plain text form back with restore.
    virtual void SetOwnerDraw(fw::TMenuItem* item, bool restore);
    virtual void AssignTags();
    virtual void AssignAllTags(fw::TMenuItem* item);
    virtual bool IsBannerItem(fw::TMenuItem* item) const;
    virtual fw::TMenuItem* BannerSourceItem(fw::TMenuItem* item) const { return item; }

    // The measure and paint request handlers (WM_MEASUREITEM, WM_DRAWITEM); both answer 1.
    // AnswerMenuRequest routes both, and access keys, for the hooks.
    void MeasureItemRequest(fw::TMessage& m);
    void DrawItemRequest(fw::TMessage& m);

    void Notification(fw::TComponent* component, fw::TOperation Operation) override;
    void Loaded() override;

  protected:
    virtual void SetMenu(fw::TMenu* menu);
    virtual void DrawItem(fw::TMenuItem* item, fw::TRect rect, unsigned state);
    virtual void DoMeasureItem(fw::TMenuItem* item, int& height, int& width);
    virtual void FontChanged();
    virtual void HiliteFontChanged();
    virtual void BrushChanged() {}
    virtual void DrawMenuBarItem(fw::TMenuItem*, fw::TRect, unsigned) {}
    virtual void ComputeBannerRect();
    virtual int GetItemHeight() const { return itemHeight_; }
    virtual void FormWndProc(fw::TMessage& m);
    bool AnswerMenuRequest(fw::TMessage& m);

    // DrawItem's steps: the etched lines of titled separators and bar breaks, the glyph
    // column (its raised or sunken cell, the mark or image) and the caption.
    void DrawItemLines(fw::TMenuItem* item, const fw::TRect& rect, bool titled);
    void DrawGlyphCell(const fw::TRect& cell, bool raised);
    void DrawGlyphColumn(fw::TMenuItem* item, const fw::TRect& rect, bool selected);
    void DrawItemCaption(fw::TMenuItem* item, const fw::TRect& rect, bool selected, bool titled);
    void DrawBanner(fw::TMenuItem* item, fw::TRect& rect);
    void PaintColorBands(fw::TCanvas& canvas, const fw::TRect& b);
    void BuildBannerBitmap(fw::TMenuItem* item);
    // The strip's text: the banner part of the item's caption, else BannerText.
    std::string BannerTextFor(fw::TMenuItem* item) const;
    void PaintMark(const fw::TBitmap& mark, int x, int y);
    void PaintEmbossed(int index, int x, int y);
    void DrawItemText(fw::TMenuItem* item, const fw::TRect& rect, const std::string& text,
                      const std::string& shortcut, fw::TColor color, int dx, int dy);
    void RecomputeGlyphs();
    // Sends a message on to the procedure the form hook replaced.
    void PassToForm(fw::TMessage& m);

    fw::TMenu* menu_ = nullptr;
    bool bannerInvalid_ = false;
    fw::TRect bannerRect_;
    fw::TControl* form_ = nullptr;  // the hooked form

  private:
    friend struct FormHook;

    bool banner_ = false;
    std::string bannerText_;
    std::unique_ptr<fw::TFont> bannerFont_;
    int bannerWidth_ = 20;
    fw::TColor bannerColor_ = fw::clBlack;
    fw::TColor bannerEndColor_ = fw::clActiveCaption;
    int bannerNumColors_ = 6;
    TBannerJustification bannerJustification_ = bjCenter;
    TBannerAlignment bannerAlignment_ = baLeft;
    TBannerDirection bannerDirection_ = bdUpwards;
    int bannerImage_ = -1;
    char bannerSeparator_ = '|';
    int itemHeight_ = 0;
    int itemWidth_ = 0;
    std::unique_ptr<fw::TFont> font_;
    std::unique_ptr<fw::TFont> hiliteFont_;
    bool defaultFont_ = true;
    std::unique_ptr<fw::TBrush> brush_;
    fw::TColor hiliteBar_ = fw::clHighlight;
    bool alwaysShowSelection_ = true;
    TMenuLook menuLook_ = mlFramedLook;
    fw::TImageList* images_ = nullptr;
    std::unique_ptr<fw::TCanvas> canvas_;
    std::unique_ptr<fw::TBitmap> checkMark_;
    std::unique_ptr<fw::TBitmap> radioMark_;
    int glyphWidth_ = 0, glyphHeight_ = 0, checkWidth_ = 0, checkHeight_ = 0;
    // What the strip's picture is made of: the picture is made again only when this changes.
    struct BannerLook {
        int width = 0, height = 0;
        fw::TColor from = 0, to = 0;  // RGB
        int bands = 0, image = -1;
        TBannerJustification justification = bjCenter;
        TBannerDirection direction = bdUpwards;
        std::string text, fontName;
        int fontHeight = 0;
        fw::TFontStyles fontStyle = 0;
        fw::TColor fontColor = 0;
        fw::TFontPitch fontPitch = fw::fpDefault;
        bool operator==(const BannerLook&) const = default;
    };
    BannerLook CurrentBannerLook(fw::TMenuItem* item) const;
    BannerLook bannerLook_;
    std::unique_ptr<fw::TBitmap> bannerBitmap_;
    fw::TWindowProcedure oldFormProc_;
    bool loadingFont_ = false;
    mutable fw::TFont metricsFont_;  // the font the remembered text sizes were measured in
    mutable std::map<std::string, fw::TSize> textSizes_;
};

class TCustomPopupDecorator : public TCustomMenuDecorator {
    FW_CLASS(TCustomPopupDecorator)
  public:
    explicit TCustomPopupDecorator(fw::TComponent* owner);
    ~TCustomPopupDecorator() override;

    virtual fw::TPopupMenu* GetPopupMenu() const;
    virtual void SetPopupMenu(fw::TPopupMenu* menu);
    fw::TPopupMenu* PopupMenu() const { return GetPopupMenu(); }

    bool IsBannerItem(fw::TMenuItem* item) const override;
    fw::TMenuItem* BannerSourceItem(fw::TMenuItem* item) const override { return item; }

    // The popup-list chain, for tests: how many decorators are hooked in.
    static int HookedCount();

  protected:
    virtual void PopupListWndProc(fw::TMessage& m);
    void ComputeBannerRect() override;

  private:
    friend struct PopupHook;
    void PassToPopupList(fw::TMessage& m);
    fw::TWindowProcedure oldPopupProc_;
    bool hooked_ = false;
};

class TPopupDecorator : public TCustomPopupDecorator {
    FW_CLASS(TPopupDecorator)
  public:
    explicit TPopupDecorator(fw::TComponent* owner) : TCustomPopupDecorator(owner) {}
};

const fw::EnumInfo& BannerJustificationInfo();
const fw::EnumInfo& BannerAlignmentInfo();
const fw::EnumInfo& BannerDirectionInfo();
const fw::EnumInfo& MenuLookInfo();

}  // namespace ctl
