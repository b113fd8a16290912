#include "framework/menus/menulevel.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <vector>

#include "framework/controls/controls.h"
#include "framework/core/qtconvert.h"
#include "framework/graphics/qtgraphics.h"
#include "framework/menus/menuaccessible.h"
#include "framework/menus/menuengine.h"
#include "framework/menus/menus.h"
#include "framework/menus/menutext.h"
#include "framework/menus/popuplist.h"
#include "platform/sysmetrics.h"

namespace fw {

namespace {
QColor Sys(TColor c) { return ToQColor(c); }

// Enough for the deepest menu the program opens, top level and submenus.
constexpr std::size_t kKeptWindows = 4;

std::vector<QPointer<TMenuLevelWidget>>& Kept() {
    static std::vector<QPointer<TMenuLevelWidget>> kept;
    return kept;
}

// Windows must not outlive the application: they go with it.
bool forgetting = false;
void ForgetKeptWindows() {
    std::vector<QPointer<TMenuLevelWidget>> kept;
    kept.swap(Kept());
    for (const QPointer<TMenuLevelWidget>& w : kept) delete w.data();
    forgetting = false;
}
}  // namespace

TMenuLevelWidget* TMenuLevelWidget::Take(TMenuLevelWindow* level) {
    std::vector<QPointer<TMenuLevelWidget>>& kept = Kept();
    while (!kept.empty()) {
        TMenuLevelWidget* w = kept.back();
        kept.pop_back();
        if (!w) continue;
        w->level_ = level;
        ++w->opens_;
        return w;
    }
    if (!forgetting) {
        forgetting = true;
        qAddPostRoutine(ForgetKeptWindows);
    }
    return new TMenuLevelWidget(level);
}

void TMenuLevelWidget::Release() {
    level_ = nullptr;
    hide();
    // The newest last: the next level to open takes the window its depth had.
    if (Kept().size() < kKeptWindows)
        Kept().push_back(this);
    else
        deleteLater();
}

TMenuLevelWidget::TMenuLevelWidget(TMenuLevelWindow* level)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
      level_(level) {
    InstallMenuAccessibility();
    // The window type reaches X11 only when set on a window that exists.
    winId();
    setAttribute(Qt::WA_X11NetWmWindowTypePopupMenu);
    // A press outside closes the menu and does nothing else.
    setAttribute(Qt::WA_NoMouseReplay);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

TMenuTracker* TMenuLevelWidget::Tracker() const { return level_ ? level_->tracker_ : nullptr; }

void TMenuLevelWidget::paintEvent(QPaintEvent* e) {
    if (!level_) return;
    QPainter p(this);
    level_->Paint(p, e->region());
}

void TMenuLevelWidget::keyPressEvent(QKeyEvent* e) {
    if (TMenuTracker* t = Tracker()) t->KeyPress(e->key(), e->text());
}

void TMenuLevelWidget::mouseMoveEvent(QMouseEvent* e) {
    if (TMenuTracker* t = Tracker()) t->MouseMove(e->globalPosition().toPoint());
}

void TMenuLevelWidget::mousePressEvent(QMouseEvent* e) {
    if (TMenuTracker* t = Tracker()) t->MousePress(e->globalPosition().toPoint());
}

void TMenuLevelWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (TMenuTracker* t = Tracker()) t->MouseRelease(e->globalPosition().toPoint());
}

void TMenuLevelWidget::closeEvent(QCloseEvent* e) {
    // Closed from outside (the window system, or the toolkit ending the popups).
    e->accept();
    if (TMenuTracker* t = Tracker())
        QTimer::singleShot(0, [t, alive = QPointer<TMenuLevelWidget>(this), opens = opens_] {
            if (alive && alive->opens_ == opens && alive->level_ && TMenuTracker::Current() == t &&
                t->Active())
                t->Cancel();
        });
}

// Levels

TMenuLevelWindow::TMenuLevelWindow(TMenuTracker* tracker, TMenuHandle* handle)
    : tracker_(tracker), handle_(handle), item_(handle->item) {
    widget_ = TMenuLevelWidget::Take(this);
}

TMenuLevelWindow::~TMenuLevelWindow() { static_cast<TMenuLevelWidget*>(widget_)->Release(); }

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
    // The menu font only for plain entries: owner-drawn ones are measured by their owners.
    std::optional<QFontMetrics> fm;
    const int check = platform::GetSystemMetrics(platform::smCxMenuCheck);
    std::vector<TSize> sizes;
    for (size_t i = 0; i < handle_->entries.size(); ++i) {
        const TMenuEntry& e = handle_->entries[i];
        TSize s;
        if (e.flags & MF_OWNERDRAW) {
            TMessage m = SendPopupList(WM_MEASUREITEM,
                                       TMeasureRequest{.Command = e.command, .Owner = e.owner});
            const TMeasureRequest* size = m.Get<TMeasureRequest>();
            // As platform menus do, owner-drawn entries get room for the submenu arrow.
            if (size) s = {size->Width + check - 1, size->Height};
        } else if (e.flags & MF_SEPARATOR) {
            s = {0, kMenuSeparatorHeight};
        } else {
            QString caption, shortcut;
            SplitMenuText(e.text, caption, shortcut);
            if (!fm) fm.emplace(MenuFont());
            int w = fm->size(kMenuTextFlags, caption).width();
            if (!shortcut.isEmpty()) w += 12 + fm->horizontalAdvance(shortcut);
            s = {check + 8 + w + check + 8, std::max(fm->height() + 6, check + 4)};
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
            TDrawRequest draw{.Command = e.command,
                              .State = (selected ? ODS_SELECTED : 0) |
                                       ((e.flags & MF_GRAYED) ? ODS_GRAYED | ODS_DISABLED : 0) |
                                       ((e.flags & MF_CHECKED) ? ODS_CHECKED : 0),
                              .Menu = handle_,
                              .Surface = &dc,
                              .Rect = r,
                              .Owner = e.owner};
            p.save();
            SendPopupList(WM_DRAWITEM, draw);
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
    SplitMenuText(e.text, caption, shortcut);
    p.setFont(MenuFont());
    QRect text(r.Left + check + 8, r.Top, r.Width() - 2 * (check + 8), r.Height());
    auto draw = [&](const QRect& tr, QColor c) {
        p.setPen(c);
        p.drawText(tr, kMenuTextFlags | Qt::AlignLeft | Qt::AlignVCenter, caption);
        if (!shortcut.isEmpty())
            p.drawText(tr, kMenuTextFlags | Qt::AlignRight | Qt::AlignVCenter, shortcut);
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

}  // namespace fw
