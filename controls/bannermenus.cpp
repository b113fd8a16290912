#include "controls/bannermenus.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cctype>
#include <set>

#include "framework/app/application.h"
#include "framework/controls/forms.h"
#include "framework/core/classbuilder.h"
#include "framework/graphics/bitmap.h"
#include "framework/menus/popuplist.h"
#include "platform/sysmetrics.h"
#include "resources/bitmaps.h"

namespace ctl {

using namespace fw;

const bool IsWindowsNT = true;

namespace {
constexpr int kTextFlags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs;

// Every decorator alive: item data naming a freed decorator is never followed.
std::set<const TCustomMenuDecorator*>& Alive() {
    static std::set<const TCustomMenuDecorator*> alive;
    return alive;
}

TCustomMenuDecorator* Named(uintptr_t itemData) {
    auto* d = reinterpret_cast<TCustomMenuDecorator*>(itemData);
    return Alive().count(d) ? d : nullptr;
}

// The popup list's chain, one for the process.
struct PopupChain {
    std::vector<TCustomPopupDecorator*> list;
    int hooked = 0;
    TWndMethod first;
};
PopupChain& Chain() {
    static PopupChain chain;
    return chain;
}

std::unique_ptr<TBitmap> LoadMark(const char* name) {
    auto bmp = std::make_unique<TBitmap>();
    std::string_view data = resources::BitmapResource(name);
    bmp->LoadFromStream(Bytes(data.begin(), data.end()));
    return bmp;
}
}  // namespace

struct FormHook {
    TCustomMenuDecorator* d;
    void operator()(TMessage& m) const { d->FormWndProc(m); }
};

struct PopupHook {
    TCustomPopupDecorator* d;
    void operator()(TMessage& m) const { d->PopupListWndProc(m); }
};

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

TCustomMenuDecorator::TCustomMenuDecorator(TComponent* AOwner) : TComponent(AOwner) {
    Alive().insert(this);
    bannerSeparator_ = '|';
    if (auto* form = dynamic_cast<TCustomForm*>(AOwner)) {
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
    Alive().erase(this);
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

void TCustomMenuDecorator::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == menu_) SetMenu(nullptr);
    if (AComponent == images_) {
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
    HMENU menu = menu_->Handle();
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* c = item->Items(i);
        SetOwnerDraw(c, restore);
        if (c->Caption() == "-") continue;
        unsigned flags = c->Enabled() ? 0 : (MF_GRAYED | MF_DISABLED);
        if (c->Break() == mbBreak) flags |= MF_MENUBREAK;
        if (c->Break() == mbBarBreak) flags |= MF_MENUBARBREAK;
        if (restore) {
            ModifyMenu(menu, c->Command(), MF_BYCOMMAND | flags, c->Command(), c->Caption());
            continue;
        }
        if (IsWindowsNT) {
            unsigned type = 0;
            if (GetMenuItemType(menu, c->Command(), false, type) && (type & MFT_OWNERDRAW))
                continue;
        }
        ModifyMenu(menu, c->Command(), MF_BYCOMMAND | MF_OWNERDRAW | flags, c->Command(),
                   reinterpret_cast<uintptr_t>(static_cast<TCustomMenuDecorator*>(this)));
    }
}

// Measuring

const QFontMetrics& TCustomMenuDecorator::Metrics() const {
    // Measuring a level asks for every sibling's text of every item: resolve the font once.
    if (!metrics_ || !(metricsFont_ == canvas_->Font()) ||
        metricsFont_.Name() != canvas_->Font().Name()) {
        metricsFont_.Assign(canvas_->Font());
        metrics_ = std::make_unique<QFontMetrics>(metricsFont_.ToQFont());
        textSizes_.clear();
    }
    return *metrics_;
}

TSize TCustomMenuDecorator::TextSize(const std::string& text) const {
    const QFontMetrics& fm = Metrics();
    auto known = textSizes_.find(text);
    if (known != textSizes_.end()) return known->second;
    QSize s = fm.size(kTextFlags, QString::fromStdString(text));
    TSize size{s.width(), fm.height() + 2};
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
            w -= Metrics().horizontalAdvance(QStringLiteral("&"));
        } else {
            QFontMetrics fm(font_->ToQFont());
            w -= fm.horizontalAdvance(QStringLiteral("&"));
        }
    }
    if (IsBannerItem(item)) w += bannerWidth_;
    return w;
}

void TCustomMenuDecorator::DoMeasureItem(TMenuItem* item, int& height, int& width) {
    if (OnMeasureItem.fn) OnMeasureItem.fn(menu_, item, height, width);
}

void TCustomMenuDecorator::MeasureItemRequest(TMessage& m) {
    auto* mis = reinterpret_cast<TMeasureItemStruct*>(m.LParam);
    if (!mis || mis->CtlType != ODT_MENU || !menu_) return;
    // A surface to measure on, as the owner window's would be.
    static QImage surface(1, 1, QImage::Format_RGB32);
    QPainter painter(&surface);
    canvas_->Attach(&painter, Rect(0, 0, 1, 1));
    canvas_->SetFont(*font_);
    if (TMenuItem* item = FindItem(mis->itemID)) {
        int height = itemHeight_ != 0 ? itemHeight_ : MeasureItemHeight(item);
        int width = itemWidth_ != 0 ? itemWidth_ : MeasureItemWidth(item);
        DoMeasureItem(item, height, width);
        mis->itemHeight = static_cast<unsigned>(std::max(height, 0));
        mis->itemWidth = static_cast<unsigned>(std::max(width, 0));
    }
    m.Result = 1;
    canvas_->Detach();
}

// Painting

void TCustomMenuDecorator::DrawItemRequest(TMessage& m) {
    auto* dis = reinterpret_cast<TDrawItemStruct*>(m.LParam);
    if (!dis || dis->CtlType != ODT_MENU || !menu_ || !dis->hDC || !dis->hDC->painter) return;
    QPainter* p = dis->hDC->painter;
    p->save();
    canvas_->Attach(p, dis->hDC->bounds);
    canvas_->SetBrush(*brush_);
    canvas_->SetFont(*font_);
    if (TMenuItem* item = FindItem(dis->itemID)) DrawItem(item, dis->rcItem, dis->itemState);
    if (dis->itemState & ODS_FOCUS) canvas_->DrawFocusRect(dis->rcItem);
    canvas_->Detach();
    p->restore();
    m.Result = 1;
}

void TCustomMenuDecorator::DrawItem(TMenuItem* item, TRect rect, unsigned state) {
    TCanvas& c = *canvas_;
    const bool selected = state & ODS_SELECTED;
    if (item->Caption().empty()) item->SetCaption(" ");
    if (selected) {
        if (OnHint.fn) item->SetHint(OnHint.fn(menu_, item, item->Hint()));
        if (Application) Application->SetHint(item->Hint());
    }
    if (OnDrawItem.fn && OnDrawItem.fn(menu_, item, rect, state)) return;
    if (bannerInvalid_ && IsBannerItem(item)) {
        bannerBitmap_.reset();
        bannerInvalid_ = false;
        ComputeBannerRect();
    }
    if (banner_) DrawBanner(item, rect);
    if (item->Tag() == -1 || item->Tag() > 4096) {
        DrawMenuBarItem(item, rect, state);
        return;
    }

    const bool titled = !item->Caption().empty() && item->Caption()[0] == '-';
    if (titled) {
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
    const bool enabled = item->Enabled();
    if (enabled || alwaysShowSelection_) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(selected && !titled ? hiliteBar_ : brush_->Color());
        c.FillRect(rect);
    }

    // The glyph column.
    const bool hasImage = item->Tag() >= 0 && images_ && item->Tag() < images_->Count();
    if (enabled || alwaysShowSelection_) {
        c.SetFont(*font_);
        TRect cell = Rect(rect.Left, rect.Top, rect.Left + glyphWidth_ + 4,
                          rect.Top + MeasureItemHeight(item));
        const bool raised = selected && ((item->Checked() && enabled) || hasImage);
        const bool sunken = enabled && !selected && item->Checked();
        if ((raised || sunken) && menuLook_ != mlFlatLook) {
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
        if (enabled) {
            if (hasImage)
                images_->Draw(c, rect.Left + 2, rect.Top + 2, item->Tag());
            else if (item->Checked())
                PaintMark(item->RadioItem() ? *radioMark_ : *checkMark_, rect.Left + 1,
                          rect.Top + 1);
        } else if (hasImage) {
            PaintEmbossed(item->Tag(), rect.Left, rect.Top);
        }
    } else if (hasImage) {
        // Disabled without the selection look: the embossed image and nothing else of the
        // glyph column; the text follows.
        PaintEmbossed(item->Tag(), rect.Left, rect.Top);
    }

    // Text and shortcut.
    TFont f(selected ? *hiliteFont_ : *font_);
    if (menu_ && item->Default()) f.SetStyle(f.Style() | fsBold);
    c.SetFont(f);
    TRect tr = rect;
    tr.Left += glyphWidth_ + 7;
    std::string text =
        titled ? item->Caption().substr(1) : CaptionText(item->Caption(), bannerSeparator_);
    std::string shortcut = ShortCutToText(item->ShortCut());
    if (enabled) {
        DrawItemText(item, tr, text, shortcut, f.Color(), 0, 0);
        return;
    }
    DrawItemText(item, tr, text, shortcut, clBtnHighlight, 1, 1);
    if (!(alwaysShowSelection_ && selected && !titled))
        DrawItemText(item, tr, text, shortcut, clBtnShadow, 0, 0);
}

void TCustomMenuDecorator::DrawItemText(TMenuItem*, const TRect& rect, const std::string& text,
                                        const std::string& shortcut, TColor color, int dx, int dy) {
    TCanvas::PaintScope scope(*canvas_);
    QPainter& p = scope.Painter();
    p.setFont(canvas_->Font().ToQFont());
    p.setPen(ToQColor(color));
    TRect r = rect.Offset(dx, dy);
    if (!shortcut.empty()) r.Right -= checkWidth_;
    p.drawText(ToQRect(r), kTextFlags | Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromStdString(text));
    if (!shortcut.empty())
        p.drawText(ToQRect(r), kTextFlags | Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromStdString(shortcut));
}

void TCustomMenuDecorator::PaintMark(const TBitmap& mark, int x, int y) {
    // White pixels take the brush colour; silver and black are copied as they are.
    QImage img = mark.ToRGBImage().convertToFormat(QImage::Format_RGB32);
    const QRgb brush = ToQColor(brush_->Color()).rgb();
    for (int row = 0; row < img.height(); ++row) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(row));
        for (int col = 0; col < img.width(); ++col)
            if ((line[col] & 0xFFFFFF) == 0xFFFFFF) line[col] = brush;
    }
    canvas_->DrawImage(
        Bounds(x, y, glyphWidth_, glyphHeight_), img,
        QRect(0, 0, std::min(img.width(), glyphWidth_), std::min(img.height(), glyphHeight_)));
}

void TCustomMenuDecorator::PaintEmbossed(int index, int x, int y) {
    QImage img = images_->ImageAt(index);
    const QRgb corner = img.pixel(0, img.height() - 1);
    TBitmap mask(img.width(), img.height());
    QImage m(img.size(), QImage::Format_RGB32);
    for (int row = 0; row < img.height(); ++row)
        for (int col = 0; col < img.width(); ++col) {
            QRgb px = img.pixel(col, row);
            bool image = qAlpha(px) != 0;
            if (!IsWindowsNT)
                image =
                    image && (px & 0xFFFFFF) != (corner & 0xFFFFFF) && (px & 0xFFFFFF) != 0xFFFFFF;
            m.setPixel(col, row, image ? 0xFF000000 : 0xFFFFFFFF);
        }
    mask.SetImage(m);
    TColor keep = canvas_->Brush().Color();
    const int d = IsWindowsNT ? 0 : 1;
    canvas_->Brush().SetColor(clBtnHighlight);
    canvas_->BrushMask(x + 1 + d, y + 1 + 2 * d, mask);
    canvas_->Brush().SetColor(clBtnShadow);
    canvas_->BrushMask(x + d, y + 2 * d, mask);
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
    TCanvas::PaintScope bands(bc);  // one painter for every band
    if (bannerColor_ == bannerEndColor_) {
        bc.Brush().SetStyle(bsSolid);
        bc.Brush().SetColor(bannerColor_);
        bc.FillRect(b);
    } else {
        PaintColorBands(bc, b);
    }
    TRect area = BannerTextArea(b, bannerImage_);
    std::string text = CaptionBannerText(BannerSourceItem(item)->Caption(), bannerSeparator_);
    if (text.empty()) text = bannerText_;
    if (text.empty()) return;
    QFont font = bannerFont_->ToQFont();
    QFontMetrics fm(font);
    const QString s = QString::fromStdString(text);
    const int cx = fm.size(kTextFlags, s).width(), cy = fm.height() + 2;
    TPoint at = BannerTextOrigin(bannerJustification_, bannerDirection_, area, cx, cy);
    TCanvas::PaintScope scope(bc);
    QPainter& p = scope.Painter();
    p.setClipRect(ToQRect(b));
    if (bannerDirection_ == bdUpwards) {
        p.translate(at.X, at.Y + 1);
        p.rotate(-90);
    } else {
        p.translate(at.X + 1, at.Y);
        p.rotate(90);
    }
    p.setFont(font);
    p.setPen(ToQColor(bannerFont_->Color()));
    p.drawText(QRect(0, 0, cx, cy), kTextFlags | Qt::AlignLeft | Qt::AlignTop, s);
}

void TCustomMenuDecorator::DrawBanner(TMenuItem* item, TRect& rect) {
    if (!IsBannerItem(item)) return;
    rect = NarrowForBanner(bannerAlignment_, rect, bannerRect_, bannerWidth_);
    if (!bannerBitmap_) BuildBannerBitmap(item);
    if (bannerBitmap_->Empty()) return;
    canvas_->DrawImage(
        Bounds(bannerRect_.Left, bannerRect_.Top, bannerBitmap_->Width(), bannerBitmap_->Height()),
        bannerBitmap_->ToRGBImage(), QRect(0, 0, bannerBitmap_->Width(), bannerBitmap_->Height()));
}

// Access keys

int TCustomMenuDecorator::FindAccelerator(char key, HMENU level) {
    if (Designing() || !menu_) return -1;
    TMenuItem* parent = menu_->Items()->FindByHandle(level);
    if (!parent) return -1;
    const int want = std::toupper(static_cast<unsigned char>(key));
    int position = 0;
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* c = parent->Items(i);
        if (!c->Visible()) continue;
        char k = AccessKeyOf(c->Caption());
        if (c->Enabled() && k && std::toupper(static_cast<unsigned char>(k)) == want)
            return position;
        ++position;
    }
    return -1;
}

// The form hook

void TCustomMenuDecorator::PassToForm(TMessage& m) {
    if (oldFormProc_) oldFormProc_(m);
}

void TCustomMenuDecorator::FormWndProc(TMessage& m) {
    if (!menu_) {
        PassToForm(m);
        return;
    }
    switch (m.Msg) {
        case WM_SETTINGCHANGE:
            if (defaultFont_) SetDefaultFont(true);
            break;
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<TDrawItemStruct*>(m.LParam);
            if (dis && dis->CtlType == ODT_MENU && dis->itemData) {
                if (TCustomMenuDecorator* d = Named(dis->itemData)) d->DrawItemRequest(m);
                return;
            }
            break;
        }
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<TMeasureItemStruct*>(m.LParam);
            if (m.WParam == 0 && mis && mis->itemData) {
                if (TCustomMenuDecorator* d = Named(mis->itemData)) d->MeasureItemRequest(m);
                return;
            }
            break;
        }
        case WM_INITMENUPOPUP:
            bannerInvalid_ = true;
            break;
        case WM_MENUCHAR: {
            int pos = FindAccelerator(static_cast<char>(m.WParam & 0xFFFF),
                                      reinterpret_cast<HMENU>(m.LParam));
            if (pos >= 0) {
                m.Result = MakeLong(pos, MNC_EXECUTE);
                return;
            }
            break;
        }
        case CM_MENUCHANGED:
            SetOwnerDraw(menu_->Items(), false);
            break;
        default:
            break;
    }
    PassToForm(m);
}

// Popup decorators and the popup-list hook

TCustomPopupDecorator::TCustomPopupDecorator(TComponent* AOwner) : TCustomMenuDecorator(AOwner) {
    // The popup list always exists here: no search for it is needed.
    PopupChain& chain = Chain();
    chain.hooked += 1;
    hooked_ = true;
    chain.list.push_back(this);
    oldPopupProc_ = PopupList().WindowProc;
    if (chain.hooked == 1) chain.first = PopupList().WindowProc;
    PopupList().WindowProc = PopupHook{this};
}

TCustomPopupDecorator::~TCustomPopupDecorator() {
    PopupChain& chain = Chain();
    if (hooked_) {
        chain.hooked -= 1;
        if (chain.hooked > 0) {
            const PopupHook* current = PopupList().WindowProc.target<PopupHook>();
            if (current && current->d == this) PopupList().WindowProc = oldPopupProc_;
            // Whoever passed on to this decorator now passes on to what it replaced.
            for (TCustomPopupDecorator* d : chain.list) {
                if (d == this) continue;
                const PopupHook* next = d->oldPopupProc_.target<PopupHook>();
                if (next && next->d == this) d->oldPopupProc_ = oldPopupProc_;
            }
        }
    }
    chain.list.erase(std::remove(chain.list.begin(), chain.list.end(), this), chain.list.end());
    if (hooked_ && chain.hooked == 0) {
        PopupList().WindowProc = chain.first;
        chain.first = nullptr;
        chain.list.clear();
    }
}

int TCustomPopupDecorator::HookedCount() { return Chain().hooked; }

TPopupMenu* TCustomPopupDecorator::GetPopupMenu() const { return dynamic_cast<TPopupMenu*>(menu_); }

void TCustomPopupDecorator::SetPopupMenu(TPopupMenu* menu) { SetMenu(menu); }

bool TCustomPopupDecorator::IsBannerItem(TMenuItem* item) const {
    return menu_ && item && item->Parent() == menu_->Items();
}

void TCustomPopupDecorator::ComputeBannerRect() {
    std::vector<TRect> rects;
    HMENU top = menu_ ? menu_->Handle() : nullptr;
    const int n = top ? GetMenuItemCount(top) : 0;
    for (int i = 0; i < n; ++i) {
        TRect r;
        if (!GetMenuItemRect(form_, top, static_cast<unsigned>(i), r)) {
            rects.clear();
            break;
        }
        rects.push_back(r);
    }
    bannerRect_ = BannerRectFor(BannerAlignment(), BannerWidth(), rects);
}

void TCustomPopupDecorator::PassToPopupList(TMessage& m) {
    if (oldPopupProc_) oldPopupProc_(m);
}

void TCustomPopupDecorator::PopupListWndProc(TMessage& m) {
    if (!menu_) {
        PassToPopupList(m);
        return;
    }
    switch (m.Msg) {
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<TDrawItemStruct*>(m.LParam);
            if (dis && dis->CtlType == ODT_MENU && dis->itemData) {
                if (TCustomMenuDecorator* d = Named(dis->itemData)) d->DrawItemRequest(m);
                return;
            }
            break;
        }
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<TMeasureItemStruct*>(m.LParam);
            if (m.WParam == 0 && mis && mis->itemData) {
                if (TCustomMenuDecorator* d = Named(mis->itemData)) d->MeasureItemRequest(m);
                return;
            }
            break;
        }
        case WM_INITMENU:
            PassToPopupList(m);
            SetOwnerDraw(menu_->Items(), false);
            return;
        case WM_INITMENUPOPUP:
            PassToPopupList(m);
            m.Result = 0;
            SetOwnerDraw(menu_->Items(), false);
            bannerInvalid_ = true;
            return;
        case WM_MENUCHAR: {
            int pos = FindAccelerator(static_cast<char>(m.WParam & 0xFFFF),
                                      reinterpret_cast<HMENU>(m.LParam));
            if (pos >= 0) {
                m.Result = MakeLong(pos, MNC_EXECUTE);
                return;
            }
            break;
        }
        case CM_MENUCHANGED:
            PassToPopupList(m);
            SetOwnerDraw(menu_->Items(), false);
            return;
        default:
            break;
    }
    PassToPopupList(m);
}

}  // namespace ctl
