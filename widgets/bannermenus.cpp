#include "widgets/bannermenus.h"

#include <algorithm>

#include "framework/controls/forms.h"
#include "framework/core/classbuilder.h"
#include "framework/graphics/bitmap.h"
#include "platform/sysmetrics.h"
#include "resources/bitmaps.h"
#include "widgets/bannerhooks.h"

namespace ctl {

using namespace fw;

namespace {
std::unique_ptr<TBitmap> LoadMark(const char* name) {
    auto bmp = std::make_unique<TBitmap>();
    std::string_view data = resources::BitmapResource(name);
    bmp->LoadFromStream(Bytes(data.begin(), data.end()));
    return bmp;
}
}  // namespace

// Caption rules

bool IsTitledSeparator(const std::string& caption) {
    return caption.size() > 1 && caption[0] == '-';
}

std::string CaptionText(const std::string& caption, char separator) {
    size_t at = caption.find(separator);
    return at == std::string::npos ? caption : caption.substr(0, at);
}

std::string CaptionBannerText(const std::string& caption, char separator) {
    size_t at = caption.find(separator);
    return at == std::string::npos ? std::string() : caption.substr(at + 1);
}

char AccessKeyOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return 0;
}

int LevelItemWidth(const std::vector<SiblingWidth>& siblings, int checkWidth, bool fewerThanTwo,
                   int startText, int startShortcut) {
    int b = startText, a = startShortcut > 0 ? startText : 0, c = startShortcut;
    for (const SiblingWidth& s : siblings) {
        int t = s.text;
        if (s.hasChildren)
            t += checkWidth;
        else if (fewerThanTwo)
            t += checkWidth / 2;
        b = std::max(b, t);
        if (s.shortcut > 0) {
            a = std::max(a, t);
            c = std::max(c, s.shortcut);
        }
    }
    if (a + c + checkWidth > b && c > 0) return a + c + 2 * checkWidth;
    return b + checkWidth;
}

// Class information

const EnumInfo& BannerJustificationInfo() {
    static const EnumInfo info{"TBannerJustification", {"bjCenter", "bjTop", "bjBottom"}};
    return info;
}
const EnumInfo& BannerAlignmentInfo() {
    static const EnumInfo info{"TBannerAlignment", {"baLeft", "baRight"}};
    return info;
}
const EnumInfo& BannerDirectionInfo() {
    static const EnumInfo info{"TBannerDirection", {"bdUpwards", "bdDownwards"}};
    return info;
}
const EnumInfo& MenuLookInfo() {
    static const EnumInfo info{"TMenuLook", {"mlFramedLook", "mlFlatLook"}};
    return info;
}

const TClassInfo& TCustomMenuDecorator::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TCustomMenuDecorator>("TCustomMenuDecorator", &TComponent::StaticClassInfo())
            .Build();
    return info;
}

const TClassInfo& TCustomPopupDecorator::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TCustomPopupDecorator>("TCustomPopupDecorator",
                                            &TCustomMenuDecorator::StaticClassInfo())
            .Build();
    return info;
}

const TClassInfo& TPopupDecorator::StaticClassInfo() {
    using D = TCustomMenuDecorator;
    static const TClassInfo info =
        ClassBuilder<TPopupDecorator>("TPopupDecorator", &TCustomPopupDecorator::StaticClassInfo())
            .Boolean("AlwaysShowSelection", &D::AlwaysShowSelection, &D::SetAlwaysShowSelection,
                     true)
            .Boolean("Banner", &D::Banner, &D::SetBanner, false)
            .Color("BannerColor", &D::BannerColor, &D::SetBannerColor, clBlack)
            .Enum("BannerDirection", &D::BannerDirection, &D::SetBannerDirection,
                  BannerDirectionInfo(), bdUpwards)
            .Color("BannerEndColor", &D::BannerEndColor, &D::SetBannerEndColor, clActiveCaption)
            .Object("BannerFont", &D::BannerFont)
            .Integer("BannerImage", &D::BannerImage, &D::SetBannerImage, -1)
            .Enum("BannerAlignment", &D::BannerAlignment, &D::SetBannerAlignment,
                  BannerAlignmentInfo(), baLeft)
            .Enum("BannerJustification", &D::BannerJustification, &D::SetBannerJustification,
                  BannerJustificationInfo(), bjCenter)
            .Integer("BannerNumColors", &D::BannerNumColors, &D::SetBannerNumColors, 6)
            .String("BannerSeparator", &D::BannerSeparatorText, &D::SetBannerSeparatorText,
                    std::string("|"))
            .String("BannerText", &D::BannerText, &D::SetBannerText, std::string())
            .Integer("BannerWidth", &D::BannerWidth, &D::SetBannerWidth, 20)
            .Object("Brush", &D::Brush)
            .Boolean("DefaultFont", &D::DefaultFont, &D::SetDefaultFont, true)
            .Object("Font", &D::Font)
            .Object("HiliteFont", &D::HiliteFont)
            .Color("HiliteBar", &D::HiliteBar, &D::SetHiliteBar, clHighlight)
            .Component("Images", &D::Images, &D::SetImages)
            .Integer("ItemHeight", &D::ItemHeight, &D::SetItemHeight, 0)
            .Integer("ItemWidth", &D::ItemWidth, &D::SetItemWidth, 0)
            .Enum("MenuLook", &D::MenuLook, &D::SetMenuLook, MenuLookInfo(), mlFramedLook)
            .Component("PopupMenu", &TCustomPopupDecorator::PopupMenu,
                       &TCustomPopupDecorator::SetPopupMenu)
            .Event("OnDrawItem", &D::OnDrawItem)
            .Event("OnHint", &D::OnHint)
            .Event("OnMeasureItem", &D::OnMeasureItem)
            .Creatable()
            .Build();
    return info;
}

// Construction

TCustomMenuDecorator::TCustomMenuDecorator(TComponent* owner) : TComponent(owner) {
    RegisterDecorator(this);
    bannerSeparator_ = '|';
    if (auto* form = dynamic_cast<TFormBase*>(owner)) {
        form_ = form;
        oldFormProc_ = form->WindowProc;
        form->WindowProc = FormHook{this};
    }
    canvas_ = std::make_unique<TCanvas>();
    font_ = std::make_unique<TFont>();
    hiliteFont_ = std::make_unique<TFont>();
    LoadMenuFont(*font_);
    bannerFont_ = std::make_unique<TFont>();
    bannerFont_->SetName("Arial");
    bannerFont_->SetSize(12);
    bannerFont_->SetColor(clWhite);
    hiliteFont_->Assign(*font_);
    hiliteFont_->SetColor(clHighlightText);
    hiliteBar_ = clHighlight;
    brush_ = std::make_unique<TBrush>();
    brush_->SetColor(clBtnFace);
    checkMark_ = LoadMark("CheckMark");
    radioMark_ = LoadMark("RadioMark");
    RecomputeGlyphs();
    int cx = platform::GetSystemMetrics(platform::smCxMenuCheck);
    int cy = platform::GetSystemMetrics(platform::smCyMenuCheck);
    checkWidth_ = cx >= checkMark_->Width() ? cx : checkMark_->Width() + 4;
    checkHeight_ = cy >= checkMark_->Height() ? cy : checkMark_->Height() + 4;
    font_->OnChange = [this] { FontChanged(); };
    hiliteFont_->OnChange = [this] { HiliteFontChanged(); };
    brush_->OnChange = [this] { BrushChanged(); };
}

TCustomMenuDecorator::~TCustomMenuDecorator() {
    // The form's procedure goes back (form hooks are released newest first, as the form
    // frees its components).
    if (form_) form_->WindowProc = oldFormProc_;
    if (images_) images_->RemoveFreeNotification(this);
    if (menu_) menu_->RemoveFreeNotification(this);
    UnregisterDecorator(this);
}

void TCustomMenuDecorator::RecomputeGlyphs() {
    glyphWidth_ = std::max(checkMark_->Width(), radioMark_->Width());
    glyphHeight_ = std::max(checkMark_->Height(), radioMark_->Height());
    if (images_) {
        glyphWidth_ = std::max(glyphWidth_, images_->Width());
        glyphHeight_ = std::max(glyphHeight_, images_->Height());
    }
}

void TCustomMenuDecorator::LoadMenuFont(TFont& font) {
    platform::LogFont lf = platform::NonClientMenuFont();
    font.SetHeight(lf.height);
    font.SetName(lf.faceName);
    TFontStyles s = font.Style();
    if (lf.weight > 500) s |= fsBold;
    if (lf.italic) s |= fsItalic;
    if (lf.underline) s |= fsUnderline;
    if (lf.strikeOut) s |= fsStrikeOut;
    font.SetStyle(s);
}

void TCustomMenuDecorator::SetDefaultFont(bool v) {
    defaultFont_ = v;
    if (!v) return;
    loadingFont_ = true;
    LoadMenuFont(*font_);
    hiliteFont_->Assign(*font_);
    loadingFont_ = false;
}

void TCustomMenuDecorator::FontChanged() {
    if (!loadingFont_) defaultFont_ = false;
}

void TCustomMenuDecorator::HiliteFontChanged() {
    if (!loadingFont_) defaultFont_ = false;
}

void TCustomMenuDecorator::SetImages(TImageList* list) {
    if (list == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = list;
    if (images_) images_->FreeNotification(this);
    RecomputeGlyphs();
    checkWidth_ = glyphWidth_ + 4;
    checkHeight_ = glyphHeight_ + 4;
    if (menu_) {
        SetOwnerDraw(menu_->Items(), true);
        SetOwnerDraw(menu_->Items(), false);
    }
}

void TCustomMenuDecorator::Notification(TComponent* component, TOperation Operation) {
    TComponent::Notification(component, Operation);
    if (Operation != TOperation::opRemove) return;
    if (component == menu_) SetMenu(nullptr);
    if (component == images_) {
        images_ = nullptr;
        RecomputeGlyphs();
    }
}

void TCustomMenuDecorator::Loaded() { TComponent::Loaded(); }

void TCustomMenuDecorator::SetMenu(TMenu* menu) {
    if (menu == menu_) return;
    if (menu_) {
        if (!menu_->Destroying()) SetOwnerDraw(menu_->Items(), true);
        menu_->RemoveFreeNotification(this);
    }
    menu_ = menu;
    if (menu_) {
        menu_->FreeNotification(this);
        SetOwnerDraw(menu_->Items(), false);
    }
}

TMenuItem* TCustomMenuDecorator::FindItem(unsigned command) {
    if (!menu_) return nullptr;
    TMenuItem* item = menu_->Items()->FindByCommand(command);
    return item == menu_->Items() ? nullptr : item;
}

bool TCustomMenuDecorator::IsBannerItem(TMenuItem*) const { return false; }

void TCustomMenuDecorator::AssignAllTags(TMenuItem* item) {
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* c = item->Items(i);
        if (c->Tag() == 0) c->SetTag(-2);
        AssignAllTags(c);
    }
}

void TCustomMenuDecorator::AssignTags() {
    if (menu_) AssignAllTags(menu_->Items());
}

// Owner drawing of the menu's entries

void TCustomMenuDecorator::SetOwnerDraw(TMenuItem* item, bool restore) {
    if (!menu_ || !item) return;
    TMenuHandle* menu = menu_->Handle();
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* c = item->Items(i);
        SetOwnerDraw(c, restore);
        if (c->Caption() == "-") continue;
        unsigned flags = c->Enabled() ? 0 : (MF_GRAYED | MF_DISABLED);
        if (c->Break() == mbBreak) flags |= MF_MENUBREAK;
        if (c->Break() == mbBarBreak) flags |= MF_MENUBARBREAK;
        if (restore) {
            ReplaceMenuEntry(menu, c->Command(), MF_BYCOMMAND | flags, c->Command(), c->Caption());
            continue;
        }
        unsigned type = 0;
        if (GetMenuItemType(menu, c->Command(), false, type) && (type & MFT_OWNERDRAW)) continue;
        ReplaceMenuEntry(menu, c->Command(), MF_BYCOMMAND | MF_OWNERDRAW | flags, c->Command(),
                         static_cast<const void*>(this));
    }
}

// Measuring

TSize TCustomMenuDecorator::TextSize(const std::string& text) const {
    // Measuring a level asks for every sibling's text of every item: remember the sizes
    // while the font stays.
    const TFont& font = canvas_->Font();
    if (!(metricsFont_ == font) || metricsFont_.Name() != font.Name()) {
        metricsFont_.Assign(font);
        textSizes_.clear();
    }
    auto known = textSizes_.find(text);
    if (known != textSizes_.end()) return known->second;
    TSize extent = canvas_->LabelExtent(text);
    TSize size{extent.cx, extent.cy + 2};
    if (textSizes_.size() > 256) textSizes_.clear();
    textSizes_.emplace(text, size);
    return size;
}

int TCustomMenuDecorator::MeasureItemHeight(TMenuItem* item) const {
    if (!canvas_->HandleAllocated()) return checkHeight_;
    int text = TextSize(CaptionText(item->Caption(), bannerSeparator_)).cy + 4;
    return std::max(glyphHeight_ + 4, text);
}

int TCustomMenuDecorator::MeasureItemWidth(TMenuItem* item) const {
    int w = 0;
    const int tag = item->Tag();
    if (tag == -1 || tag > 4096) {
        w = TextSize(CaptionText(item->Caption(), bannerSeparator_)).cx + 5;
        if (tag > 4096 && images_) w += images_->Width() + 2;
    } else {
        auto extent = [&](TMenuItem* s) {
            SiblingWidth sw;
            sw.text = TextSize(CaptionText(s->Caption(), bannerSeparator_)).cx;
            std::string sc = ShortCutToText(s->ShortCut());
            sw.shortcut = sc.empty() ? 0 : TextSize(sc).cx;
            sw.hasChildren = s->Count() > 0;
            return sw;
        };
        TMenuItem* parent = item->Parent();
        std::vector<SiblingWidth> sibs;
        if (parent) {
            for (int i = 0; i < parent->Count(); ++i) sibs.push_back(extent(parent->Items(i)));
            w = LevelItemWidth(sibs, checkWidth_, parent->Count() < 2);
        } else {
            for (int i = 0; i < item->Count(); ++i) sibs.push_back(extent(item->Items(i)));
            SiblingWidth own = extent(item);
            w = LevelItemWidth(sibs, checkWidth_, item->Count() < 2, own.text, own.shortcut);
        }
    }
    if (item->Caption().find('&') != std::string::npos) {
        // The width of "&" in Font (the canvas measures in Font during a request).
        if (canvas_->Font() == *font_) {
            w -= canvas_->TextWidth("&");
        } else {
            TCanvas probe;
            probe.SetFont(*font_);
            w -= probe.TextWidth("&");
        }
    }
    if (IsBannerItem(item)) w += bannerWidth_;
    return w;
}

void TCustomMenuDecorator::DoMeasureItem(TMenuItem* item, int& height, int& width) {
    if (OnMeasureItem.fn) OnMeasureItem.fn(menu_, item, height, width);
}

void TCustomMenuDecorator::MeasureItemRequest(TMessage& m) {
    TMeasureRequest* request = m.Get<TMeasureRequest>();
    if (!request || request->Kind != ODT_MENU || !menu_) return;
    // A surface to measure on, as the owner window's would be.
    static TBitmap surface(1, 1);
    canvas_->Attach(surface);
    canvas_->SetFont(*font_);
    if (TMenuItem* item = FindItem(request->Command)) {
        int height = itemHeight_ != 0 ? itemHeight_ : MeasureItemHeight(item);
        int width = itemWidth_ != 0 ? itemWidth_ : MeasureItemWidth(item);
        DoMeasureItem(item, height, width);
        request->Height = std::max(height, 0);
        request->Width = std::max(width, 0);
    }
    m.Result = 1;
    canvas_->Detach();
}

}  // namespace ctl
