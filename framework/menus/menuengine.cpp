#include "framework/menus/menuengine.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "framework/controls/controls.h"
#include "framework/controls/screen.h"
#include "framework/graphics/font.h"
#include "framework/menus/menus.h"
#include "framework/menus/popuplist.h"
#include "platform/sysmetrics.h"

namespace fw {

namespace {
TMenuTracker* current = nullptr;

QColor Sys(TColor c) { return ToQColor(c); }

QFont MenuFont() {
    platform::LogFont lf = platform::NonClientMenuFont();
    TFont f;
    f.SetName(lf.faceName);
    f.SetHeight(lf.height);
    TFontStyles s = 0;
    if (lf.weight > 500) s |= fsBold;
    if (lf.italic) s |= fsItalic;
    if (lf.underline) s |= fsUnderline;
    if (lf.strikeOut) s |= fsStrikeOut;
    f.SetStyle(s);
    return f.ToQFont();
}

constexpr int kTextFlags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs;

// The access key of a caption: the character after a single "&", or 0.
QChar AccessKey(const QString& s) {
    for (int i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '&') continue;
        if (s[i + 1] == '&') {
            ++i;
            continue;
        }
        return s[i + 1].toUpper();
    }
    return QChar();
}

void SplitTab(const std::string& text, QString& caption, QString& shortcut) {
    QString t = QString::fromStdString(text);
    int tab = t.indexOf('\t');
    caption = tab < 0 ? t : t.left(tab);
    shortcut = tab < 0 ? QString() : t.mid(tab + 1);
}
}  // namespace

// The popup window of one level: every input goes to the tracker.
class TMenuLevelWidget : public QWidget {
  public:
    explicit TMenuLevelWidget(TMenuLevelWindow* level)
        : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
          level_(level) {
        // The window type reaches X11 only when set on a window that exists.
        winId();
        setAttribute(Qt::WA_X11NetWmWindowTypePopupMenu);
        // A press outside closes the menu and does nothing else.
        setAttribute(Qt::WA_NoMouseReplay);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
    }
    void Detach() { level_ = nullptr; }

  protected:
    TMenuTracker* Tracker() const { return level_ ? level_->tracker_ : nullptr; }
    void paintEvent(QPaintEvent* e) override {
        if (!level_) return;
        QPainter p(this);
        level_->Paint(p, e->region());
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (TMenuTracker* t = Tracker()) t->KeyPress(e->key(), e->text());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (TMenuTracker* t = Tracker()) t->MouseMove(e->globalPosition().toPoint());
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (TMenuTracker* t = Tracker()) t->MousePress(e->globalPosition().toPoint());
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mousePressEvent(e); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (TMenuTracker* t = Tracker()) t->MouseRelease(e->globalPosition().toPoint());
    }
    void closeEvent(QCloseEvent* e) override {
        // Closed from outside (the window system, or the toolkit ending the popups).
        e->accept();
        if (TMenuTracker* t = Tracker())
            QTimer::singleShot(0, [t, alive = QPointer<QWidget>(this)] {
                if (alive && TMenuTracker::Current() == t && t->Active()) t->Cancel();
            });
    }

  private:
    TMenuLevelWindow* level_;
};

// Levels

TMenuLevelWindow::TMenuLevelWindow(TMenuTracker* tracker, HMENU handle)
    : tracker_(tracker), handle_(handle) {
    widget_ = new TMenuLevelWidget(this);
}

TMenuLevelWindow::~TMenuLevelWindow() {
    static_cast<TMenuLevelWidget*>(widget_)->Detach();
    widget_->hide();
    widget_->deleteLater();
}

TRect TMenuLevelWindow::ScreenWindowRect() const {
    QRect g = widget_->geometry();
    return Bounds(g.x(), g.y(), g.width(), g.height());
}

TRect TMenuLevelWindow::ScreenClientRect() const {
    TRect w = ScreenWindowRect();
    return Bounds(w.Left + kMenuFrame, w.Top + kMenuFrame, clientWidth_, clientHeight_);
}

int TMenuLevelWindow::EntryAt(QPoint global) const {
    TRect c = ScreenClientRect();
    TPoint p{global.x() - c.Left, global.y() - c.Top};
    for (int i = 0; i < EntryCount(); ++i)
        if (rects_[static_cast<size_t>(i)].Contains(p)) return i;
    return -1;
}

void TMenuLevelWindow::Measure() {
    if (handle_->item) handle_->item->Handle();  // in step with the items
    QFont font = MenuFont();
    QFontMetrics fm(font);
    const int check = platform::GetSystemMetrics(platform::smCxMenuCheck);
    std::vector<TSize> sizes;
    for (size_t i = 0; i < handle_->entries.size(); ++i) {
        const TMenuEntry& e = handle_->entries[i];
        TSize s;
        if (e.flags & MF_OWNERDRAW) {
            TMeasureItemStruct mis;
            mis.itemID = e.command;
            mis.itemData = e.itemData;
            SendPopupList(WM_MEASUREITEM, 0, reinterpret_cast<intptr_t>(&mis));
            // As platform menus do, owner-drawn entries get room for the submenu arrow.
            s = {static_cast<int>(mis.itemWidth) + check - 1, static_cast<int>(mis.itemHeight)};
        } else if (e.flags & MF_SEPARATOR) {
            s = {0, kMenuSeparatorHeight};
        } else {
            QString caption, shortcut;
            SplitTab(e.text, caption, shortcut);
            int w = fm.size(kTextFlags, caption).width();
            if (!shortcut.isEmpty()) w += 12 + fm.horizontalAdvance(shortcut);
            s = {check + 8 + w + check + 8, std::max(fm.height() + 6, check + 4)};
        }
        sizes.push_back(s);
    }
    // Columns: a break starts a new one; a bar break leaves room for its line.
    rects_.assign(sizes.size(), TRect{});
    int x = 0, y = 0, colStart = 0, colWidth = 0, height = 0;
    auto closeColumn = [&](size_t end) {
        for (size_t j = static_cast<size_t>(colStart); j < end; ++j) {
            rects_[j].Left = x;
            rects_[j].Right = x + colWidth;
        }
    };
    for (size_t i = 0; i < sizes.size(); ++i) {
        unsigned f = handle_->entries[i].flags;
        if (i > 0 && (f & (MF_MENUBREAK | MF_MENUBARBREAK))) {
            closeColumn(i);
            x += colWidth + ((f & MF_MENUBARBREAK) ? 4 : 0);
            y = 0;
            colStart = static_cast<int>(i);
            colWidth = 0;
        }
        rects_[i].Top = y;
        rects_[i].Bottom = y + sizes[i].cy;
        y += sizes[i].cy;
        colWidth = std::max(colWidth, sizes[i].cx);
        height = std::max(height, y);
    }
    closeColumn(sizes.size());
    clientWidth_ = std::max(x + colWidth, 8);
    clientHeight_ = std::max(height, 4);
    widget_->resize(clientWidth_ + 2 * kMenuFrame, clientHeight_ + 2 * kMenuFrame);
}

void TMenuLevelWindow::Paint(QPainter& p, const QRegion& dirty) {
    const int w = widget_->width(), h = widget_->height();
    QRect clientDirty = dirty.boundingRect().translated(-kMenuFrame, -kMenuFrame);
    // Background and the raised frame.
    p.fillRect(dirty.boundingRect(), Sys(clMenu));
    p.fillRect(0, 0, w, 1, Sys(cl3DLight));
    p.fillRect(0, 0, 1, h, Sys(cl3DLight));
    p.fillRect(0, h - 1, w, 1, Sys(cl3DDkShadow));
    p.fillRect(w - 1, 0, 1, h, Sys(cl3DDkShadow));
    p.fillRect(1, 1, w - 2, 1, Sys(clBtnHighlight));
    p.fillRect(1, 1, 1, h - 2, Sys(clBtnHighlight));
    p.fillRect(1, h - 2, w - 2, 1, Sys(clBtnShadow));
    p.fillRect(w - 2, 1, 1, h - 2, Sys(clBtnShadow));

    if (handle_->item) handle_->item->Handle();
    p.save();
    p.translate(kMenuFrame, kMenuFrame);
    TDeviceContext dc{&p, Bounds(0, 0, clientWidth_, clientHeight_)};
    // Entries are painted in order on the whole client surface: an owner-drawn entry may
    // paint beyond its rectangle (a banner), and later entries paint over earlier ones.
    for (int i = 0; i < EntryCount() && i < static_cast<int>(handle_->entries.size()); ++i) {
        TRect r = rects_[static_cast<size_t>(i)];
        if (!ToQRect(r).intersects(clientDirty)) continue;
        // Copied: painting may rebuild the handle's entries.
        TMenuEntry e = handle_->entries[static_cast<size_t>(i)];
        bool selected = i == selected_;
        if (e.flags & MF_OWNERDRAW) {
            TDrawItemStruct dis;
            dis.itemID = e.command;
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = (selected ? ODS_SELECTED : 0) |
                            ((e.flags & MF_GRAYED) ? ODS_GRAYED | ODS_DISABLED : 0) |
                            ((e.flags & MF_CHECKED) ? ODS_CHECKED : 0);
            dis.hwndItem = handle_;
            dis.hDC = &dc;
            dis.rcItem = r;
            dis.itemData = e.itemData;
            p.save();
            SendPopupList(WM_DRAWITEM, 0, reinterpret_cast<intptr_t>(&dis));
            p.restore();
        } else {
            PaintPlain(p, e, r, selected);
        }
        if (e.submenu) {
            // The arrow, in the room the item's width keeps for it.
            bool light = selected && !(e.flags & MF_OWNERDRAW);
            QColor c =
                (e.flags & MF_GRAYED) ? Sys(clGrayText) : Sys(light ? clHighlightText : clMenuText);
            int ax = r.Right - 10, cy = r.Top + r.Height() / 2;
            for (int k = 0; k < 4; ++k) p.fillRect(ax + k, cy - 3 + k, 1, 7 - 2 * k, c);
        }
    }
    p.restore();
}

void TMenuLevelWindow::PaintPlain(QPainter& p, const TMenuEntry& e, const TRect& r, bool selected) {
    if (e.flags & MF_SEPARATOR) {
        int mid = r.Top + r.Height() / 2 - 1;
        p.fillRect(r.Left + 1, mid, r.Width() - 2, 1, Sys(clBtnShadow));
        p.fillRect(r.Left + 1, mid + 1, r.Width() - 2, 1, Sys(clBtnHighlight));
        return;
    }
    const bool grayed = e.flags & MF_GRAYED;
    if (selected) p.fillRect(ToQRect(r), Sys(clHighlight));
    const int check = platform::GetSystemMetrics(platform::smCxMenuCheck);
    QString caption, shortcut;
    SplitTab(e.text, caption, shortcut);
    p.setFont(MenuFont());
    QRect text(r.Left + check + 8, r.Top, r.Width() - 2 * (check + 8), r.Height());
    auto draw = [&](const QRect& tr, QColor c) {
        p.setPen(c);
        p.drawText(tr, kTextFlags | Qt::AlignLeft | Qt::AlignVCenter, caption);
        if (!shortcut.isEmpty())
            p.drawText(tr, kTextFlags | Qt::AlignRight | Qt::AlignVCenter, shortcut);
    };
    QColor ink = Sys(selected ? clHighlightText : clMenuText);
    if (grayed) {
        if (!selected) draw(text.translated(1, 1), Sys(clBtnHighlight));
        draw(text, Sys(clGrayText));
    } else {
        draw(text, ink);
    }
    if (e.flags & MF_CHECKED) {
        // A small tick in the check column.
        int x = r.Left + 4, y = r.Top + r.Height() / 2 - 1;
        QColor c = grayed ? Sys(clGrayText) : ink;
        for (int k = 0; k < 3; ++k) p.fillRect(x + k, y + k - 1, 1, 3, c);
        for (int k = 0; k < 4; ++k) p.fillRect(x + 3 + k, y + 1 - k, 1, 3, c);
    }
}

void TMenuLevelWindow::UpdateEntry(int i) {
    if (i < 0 || i >= EntryCount()) return;
    TRect r = rects_[static_cast<size_t>(i)];
    widget_->update(ToQRect(r).translated(kMenuFrame, kMenuFrame));
}

// Tracker

TMenuTracker* TMenuTracker::Current() { return current; }

TMenuTracker::TMenuTracker(TPopupMenu& menu)
    : menu_(menu), hoverTimer_(std::make_unique<QTimer>()) {
    hoverTimer_->setSingleShot(true);
    hoverTimer_->setInterval(kSubmenuDelayMs);
    QObject::connect(hoverTimer_.get(), &QTimer::timeout, [this] {
        if (active_) OpenSelectedSubmenu(hoverLevel_);
    });
}

TMenuTracker::~TMenuTracker() {
    if (active_) Cancel();
    CloseLevelsFrom(0);
    if (current == this) current = nullptr;
}

TMenuLevelWindow* TMenuTracker::LevelOf(HMENU menu) const {
    for (TMenuLevelWindow* l : levels_)
        if (l->handle_ == menu) return l;
    return nullptr;
}

void TMenuTracker::Open(int x, int y) {
    if (active_ || current) return;
    current = this;
    active_ = true;
    chosen_ = nullptr;
    moved_ = false;
    pressedInside_ = false;
    openPointer_ = QCursor::pos();
    PopupList().SetMenu(&menu_);
    HMENU root = menu_.Handle();
    SendPopupList(WM_ENTERMENULOOP, 1, 0);
    SendPopupList(WM_INITMENU, reinterpret_cast<uintptr_t>(root), 0);
    OpenLevel(menu_.Handle(), -1, -1, QPoint(x, y));
}

TMenuLevelWindow* TMenuTracker::OpenLevel(HMENU menu, int parentLevel, int parentEntry, QPoint at) {
    SendPopupList(WM_INITMENUPOPUP, reinterpret_cast<uintptr_t>(menu),
                  MakeLParam(std::max(parentEntry, 0), 0));
    // The opening may have ended tracking (a handler that closed the program).
    if (!active_) return nullptr;
    auto* level = new TMenuLevelWindow(this, menu);
    level->parentEntry_ = parentEntry;
    levels_.push_back(level);
    level->Measure();
    TScreenSize screen = PrimaryScreenSize();
    const int w = level->widget_->width(), h = level->widget_->height();
    int x = at.x(), y = at.y();
    if (parentLevel < 0) {
        // The top level opens to the left of and above the point when it does not fit.
        if (x + w > screen.Width) x -= w;
        if (y + h > screen.Height) y -= h;
    } else {
        TMenuLevelWindow* parent = levels_[static_cast<size_t>(parentLevel)];
        TRect pw = parent->ScreenWindowRect();
        TRect pe = parent->EntryRect(parentEntry)
                       .Offset(parent->ScreenClientRect().Left, parent->ScreenClientRect().Top);
        x = pw.Right - kMenuFrame;
        y = pe.Top - kMenuFrame;
        if (x + w > screen.Width) x = pw.Left - w + kMenuFrame;
        if (y + h > screen.Height) y = pe.Bottom + kMenuFrame - h;
    }
    x = std::max(0, std::min(x, std::max(0, screen.Width - w)));
    y = std::max(0, std::min(y, std::max(0, screen.Height - h)));
    level->widget_->move(x, y);
    level->widget_->show();
    return level;
}

void TMenuTracker::CloseLevelsFrom(int level) {
    if (level < 0) level = 0;
    while (static_cast<int>(levels_.size()) > level) {
        TMenuLevelWindow* l = levels_.back();
        levels_.pop_back();
        delete l;
    }
    if (hoverLevel_ >= level) hoverTimer_->stop();
}

void TMenuTracker::Cancel() { End(); }

void TMenuTracker::End() {
    if (!active_) return;
    active_ = false;
    hoverTimer_->stop();
    CloseLevelsFrom(0);
    SendPopupList(WM_MENUSELECT, static_cast<uintptr_t>(MakeLParam(0, 0xFFFF)), 0);
    SendPopupList(WM_EXITMENULOOP, 1, 0);
    PopupList().SetMenu(nullptr);
    if (current == this) current = nullptr;
    if (OnEnded) OnEnded();
}

bool TMenuTracker::Selectable(const TMenuEntry& e, bool keyboard) const {
    if (e.flags & MF_SEPARATOR) return false;
    return !keyboard || !(e.flags & MF_GRAYED);
}

void TMenuTracker::Select(int level, int entry, bool byMouse) {
    if (level < 0 || level >= LevelCount()) return;
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    if (l->selected_ == entry) return;
    int old = l->selected_;
    l->selected_ = entry;
    l->UpdateEntry(old);
    l->UpdateEntry(entry);
    if (entry >= 0 && entry < static_cast<int>(l->handle_->entries.size())) {
        const TMenuEntry& e = l->handle_->entries[static_cast<size_t>(entry)];
        unsigned flags =
            (e.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_OWNERDRAW)) |
            MF_HILITE | (byMouse ? MF_MOUSESELECT : 0);
        SendPopupList(WM_MENUSELECT,
                      static_cast<uintptr_t>(
                          MakeLParam(static_cast<int>(e.command), static_cast<int>(flags))),
                      reinterpret_cast<intptr_t>(l->handle_));
    }
}

int TMenuTracker::Step(int level, int from, int dir) const {
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    int n = static_cast<int>(l->handle_->entries.size());
    if (n == 0) return -1;
    int i = from;
    for (int k = 0; k < n; ++k) {
        i = i < 0 ? (dir > 0 ? 0 : n - 1) : (i + dir + n) % n;
        if (Selectable(l->handle_->entries[static_cast<size_t>(i)], true)) return i;
    }
    return -1;
}

int TMenuTracker::LevelAt(QPoint global) const {
    for (int i = LevelCount() - 1; i >= 0; --i)
        if (levels_[static_cast<size_t>(i)]->ScreenWindowRect().Contains({global.x(), global.y()}))
            return i;
    return -1;
}

void TMenuTracker::OpenSelectedSubmenu(int level) {
    if (!active_ || level < 0 || level >= LevelCount()) return;
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    int sel = l->selected_;
    if (sel < 0 || sel >= static_cast<int>(l->handle_->entries.size())) return;
    const TMenuEntry& e = l->handle_->entries[static_cast<size_t>(sel)];
    if (!e.submenu || (e.flags & MF_GRAYED)) return;
    if (level + 1 < LevelCount() && levels_[static_cast<size_t>(level + 1)]->parentEntry_ == sel)
        return;  // already open
    CloseLevelsFrom(level + 1);
    OpenLevel(e.submenu, level, sel, QPoint());
}

void TMenuTracker::Execute(int level, int entry) {
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    if (entry < 0 || entry >= static_cast<int>(l->handle_->entries.size())) return;
    const TMenuEntry e = l->handle_->entries[static_cast<size_t>(entry)];
    if (e.flags & (MF_GRAYED | MF_SEPARATOR)) return;
    Select(level, entry, false);
    if (e.submenu) {
        OpenSelectedSubmenu(level);
        if (active_ && level + 1 < LevelCount()) Select(level + 1, Step(level + 1, -1, 1), false);
        return;
    }
    Choose(e.command);
}

void TMenuTracker::Choose(unsigned command) {
    chosen_ = menu_.Items()->FindByCommand(command);
    End();
}

void TMenuTracker::KeyPress(int key, const QString& text) {
    if (!active_ || levels_.empty()) return;
    int level = LevelCount() - 1;
    TMenuLevelWindow* l = levels_.back();
    switch (key) {
        case Qt::Key_Down:
            Select(level, Step(level, l->selected_, 1), false);
            return;
        case Qt::Key_Up:
            Select(level, Step(level, l->selected_, -1), false);
            return;
        case Qt::Key_Home:
            Select(level, Step(level, -1, 1), false);
            return;
        case Qt::Key_End:
            Select(level, Step(level, -1, -1), false);
            return;
        case Qt::Key_Right: {
            int sel = l->selected_;
            if (sel >= 0 && l->handle_->entries[static_cast<size_t>(sel)].submenu)
                Execute(level, sel);
            return;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (l->selected_ >= 0) Execute(level, l->selected_);
            return;
        case Qt::Key_Left:
            if (level > 0) CloseLevelsFrom(level);
            return;
        case Qt::Key_Escape:
            if (level > 0)
                CloseLevelsFrom(level);
            else
                End();
            return;
        default:
            break;
    }
    if (text.isEmpty() || !text[0].isPrint()) return;
    // Typed characters: the components answer first, then the plain entries' access keys.
    QChar ch = text[0];
    intptr_t r =
        SendPopupList(WM_MENUCHAR, static_cast<uintptr_t>(MakeLParam(ch.unicode(), MF_POPUP)),
                      reinterpret_cast<intptr_t>(l->handle_));
    int answer = HiWordSigned(r), pos = LoWordSigned(r);
    if (answer == MNC_EXECUTE) {
        Execute(level, pos);
        return;
    }
    if (answer == MNC_SELECT) {
        Select(level, pos, false);
        return;
    }
    if (answer == MNC_CLOSE) {
        End();
        return;
    }
    for (size_t i = 0; i < l->handle_->entries.size(); ++i) {
        const TMenuEntry& e = l->handle_->entries[i];
        if (e.flags & (MF_OWNERDRAW | MF_SEPARATOR | MF_GRAYED)) continue;
        QString caption, shortcut;
        SplitTab(e.text, caption, shortcut);
        if (AccessKey(caption) == ch.toUpper()) {
            Execute(level, static_cast<int>(i));
            return;
        }
    }
}

void TMenuTracker::MouseMove(QPoint global) {
    if (!active_) return;
    if (global != openPointer_) moved_ = true;
    int level = LevelAt(global);
    if (level < 0) {
        // Off every level: the deepest level loses its selection unless it opened a submenu.
        int last = LevelCount() - 1;
        if (last >= 0) {
            TMenuLevelWindow* l = levels_.back();
            if (l->selected_ >= 0 &&
                !(l->handle_->entries[static_cast<size_t>(l->selected_)].submenu))
                Select(last, -1, true);
        }
        return;
    }
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    int entry = l->EntryAt(global);
    if (entry < 0 || !Selectable(l->handle_->entries[static_cast<size_t>(entry)], false)) return;
    if (l->selected_ == entry) {
        // Back on the parent entry of an open submenu: the submenu's own selection goes.
        if (level + 1 < LevelCount()) Select(level + 1, -1, true);
        return;
    }
    Select(level, entry, true);
    hoverTimer_->stop();
    if (level + 1 < LevelCount()) CloseLevelsFrom(level + 1);
    if (l->handle_->entries[static_cast<size_t>(entry)].submenu) {
        hoverLevel_ = level;
        hoverTimer_->start();
    }
}

void TMenuTracker::MousePress(QPoint global) {
    if (!active_) return;
    int level = LevelAt(global);
    if (level < 0) {
        End();
        return;
    }
    pressedInside_ = true;
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    int entry = l->EntryAt(global);
    if (entry < 0) return;
    const TMenuEntry& e = l->handle_->entries[static_cast<size_t>(entry)];
    if (!Selectable(e, false)) return;
    Select(level, entry, true);
    if (e.submenu) {
        hoverTimer_->stop();
        OpenSelectedSubmenu(level);
    }
}

void TMenuTracker::MouseRelease(QPoint global) {
    if (!active_) return;
    if (global != openPointer_) moved_ = true;
    // The release of the press that opened the menu chooses nothing.
    if (!moved_ && !pressedInside_) return;
    int level = LevelAt(global);
    if (level < 0) return;
    TMenuLevelWindow* l = levels_[static_cast<size_t>(level)];
    int entry = l->EntryAt(global);
    if (entry < 0) return;
    const TMenuEntry& e = l->handle_->entries[static_cast<size_t>(entry)];
    if (e.submenu || (e.flags & (MF_GRAYED | MF_SEPARATOR))) return;
    Choose(e.command);
}

// The engine behind TPopupMenu::Popup.

void OwnPopupEngine(TPopupMenu& menu, int x, int y) {
    if (TMenuTracker::Current()) return;  // one menu at a time
    // The press that opened the menu gave up its control's capture in Popup (the framework
    // ends it as every modal loop starts).
    QPointer<QWidget> hadKeyboard = QApplication::activeWindow();
    TMenuItem* chosen = nullptr;
    {
        TMenuTracker tracker(menu);
        QEventLoop loop;
        tracker.OnEnded = [&loop] { loop.quit(); };
        tracker.Open(x, y);
        if (tracker.Active()) loop.exec();
        tracker.Cancel();
        chosen = tracker.Chosen();
    }
    // The keyboard goes back to the window that had it, unless a command is about to run
    // (it may open a window of its own, which should get the keyboard instead).
    if (!chosen && hadKeyboard && hadKeyboard->isVisible()) hadKeyboard->activateWindow();
    if (chosen) Guarded(chosen, [chosen] { chosen->Click(); });
}

}  // namespace fw
