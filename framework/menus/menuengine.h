#pragma once
// Our popup-menu engine: one frameless popup window per open level, laid out from the
// entries of the level's menu handle and painted by us. Owner-drawn entries are measured
// (WM_MEASUREITEM) once per opening and painted (WM_DRAWITEM) through the popup list;
// WM_INITMENU, WM_INITMENUPOPUP, WM_MENUSELECT and WM_MENUCHAR go the same way.
//
// A tracker runs one menu: Popup() opens it and waits in a local loop; tests and the
// benchmark open it without waiting and drive it through the same input entry points the
// windows use.
#include <QChar>
#include <QPoint>
#include <functional>
#include <memory>
#include <vector>

#include "framework/core/classes.h"
#include "framework/menus/menuhandle.h"

class QWidget;
class QTimer;
class QRegion;
class QPainter;

namespace fw {

class TPopupMenu;
class TMenuItem;
class TMenuLevelWindow;
class TMenuWatch;

// Classic look of the engine's own parts.
inline constexpr int kMenuFrame = 3;  // border around a level's items
inline constexpr int kMenuSeparatorHeight = 9;
inline constexpr int kSubmenuDelayMs = 300;  // hover time before a submenu opens

class TMenuTracker {
  public:
    explicit TMenuTracker(TPopupMenu& menu);
    ~TMenuTracker();
    TMenuTracker(const TMenuTracker&) = delete;
    TMenuTracker& operator=(const TMenuTracker&) = delete;

    // Opens the top level with its top-left corner at the screen point (or flipped to stay
    // on the screen). The pointer position at this moment is where the opening press was.
    void Open(int x, int y);
    bool Active() const { return active_; }
    // Closes every level without choosing.
    void Cancel();
    // The item chosen, once tracking has ended with a choice.
    TMenuItem* Chosen() const { return chosen_; }
    TPopupMenu& Menu() const { return menu_; }

    int LevelCount() const { return static_cast<int>(levels_.size()); }
    TMenuLevelWindow* Level(int i) const { return levels_[static_cast<size_t>(i)]; }
    // The open level that shows the handle, or null.
    TMenuLevelWindow* LevelOf(TMenuHandle* menu) const;

    // Input, as the level windows receive it (the topmost level receives all of it).
    // key is a Qt key code, text the typed character(s).
    void KeyPress(int key, const QString& text);
    void MouseMove(QPoint global);
    void MousePress(QPoint global);
    void MouseRelease(QPoint global);
    // Opens the submenu of the selected entry of the level now (what the hover timer does).
    void OpenSelectedSubmenu(int level);
    // What Return does on the entry: opens its submenu or chooses it (a screen reader's press).
    void Activate(int level, int entry);
    // The position of an open level, or -1.
    int IndexOf(const TMenuLevelWindow* level) const;

    // Told (by the popup list) that items of the menu changed while it is open: levels whose
    // item went away close at once; the rest are laid out again before the next input.
    void MenuChanged();

    // Called once when tracking ends.
    std::function<void()> OnEnded;

    // The tracker running now, or null.
    static TMenuTracker* Current();

  private:
    TMenuLevelWindow* OpenLevel(TMenuHandle* menu, int parentLevel, int parentEntry, QPoint at);
    void CloseLevelsFrom(int level, bool announce = true);
    // Items changing under open levels (menuchanges.cpp).
    void Watch(TComponent* c);
    void Freed(TComponent* c);
    void CloseUnreachable();
    void Relayout();
    void RelayoutLevel(int level);
    void FollowChanges() {
        if (dirty_) Relayout();
    }
    // The level's entry, or null when either is out of range.
    const TMenuEntry* EntryOf(int level, int entry) const;
    void Select(int level, int entry, bool byMouse);
    void CloseByKey(int level);
    int LevelAt(QPoint global) const;
    void Execute(int level, int entry);
    void Choose(unsigned command);
    void End();
    bool Selectable(const TMenuEntry& e, bool keyboard) const;
    int Step(int level, int from, int dir) const;
    void TypeCharacter(int level, QChar ch);
    // The entry's access key (upper case), owner-drawn or not; null when it has none.
    QChar AccessKeyOf(const TMenuEntry& e) const;

    TPopupMenu& menu_;
    std::vector<TMenuLevelWindow*> levels_;
    bool active_ = false;
    TMenuItem* chosen_ = nullptr;
    QPoint openPointer_;
    bool moved_ = false;
    bool pressedInside_ = false;
    std::unique_ptr<QTimer> hoverTimer_;
    int hoverLevel_ = -1;
    std::unique_ptr<TMenuWatch> watch_;
    std::unique_ptr<QTimer> relayoutTimer_;
    bool dirty_ = false;

    friend class TMenuWatch;
};

// Hears when the menu, the item of an open level or the chosen item is freed.
class TMenuWatch : public TComponent {
  public:
    explicit TMenuWatch(TMenuTracker* tracker) : TComponent(nullptr), tracker_(tracker) {}
    void Notification(TComponent* c, TOperation operation) override;

  private:
    TMenuTracker* tracker_;
};

// One open level: a frameless popup window. Entry rectangles are in client coordinates,
// whose origin lies kMenuFrame pixels inside the window.
class TMenuLevelWindow {
  public:
    TMenuHandle* Handle() const { return handle_; }
    int Selected() const { return selected_; }
    int EntryCount() const { return static_cast<int>(rects_.size()); }
    TRect EntryRect(int i) const { return rects_[static_cast<size_t>(i)]; }
    // The screen rectangle of the client area.
    TRect ScreenClientRect() const;
    TRect ScreenWindowRect() const;
    QWidget* Widget() const { return widget_; }
    TMenuTracker* Tracker() const { return tracker_; }
    // The entry under a screen point, or -1.
    int EntryAt(QPoint global) const;

  private:
    friend class TMenuTracker;
    friend class TMenuLevelWidget;
    TMenuLevelWindow(TMenuTracker* tracker, TMenuHandle* handle);
    ~TMenuLevelWindow();
    void Measure();
    void Paint(QPainter& p, const QRegion& dirty);
    void PaintPlain(QPainter& p, const TMenuEntry& e, const TRect& r, bool selected);
    void UpdateEntry(int i);

    TMenuTracker* tracker_;
    TMenuHandle* handle_;
    TMenuItem* item_;  // whose level this is; compared only, it may have been freed
    unsigned selectedCommand_ = 0;
    QWidget* widget_ = nullptr;
    std::vector<TRect> rects_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int selected_ = -1;
    bool givenByOpening_ = false;  // selected_ is what a keyboard opening chose
    int parentEntry_ = -1;
    bool leftward_ = false;  // opened to the left of its parent
};

}  // namespace fw
