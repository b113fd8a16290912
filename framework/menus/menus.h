#pragma once
// Menu items and popup menus as components. Every level of items keeps a menu handle in
// step with the items (framework/menus/menuhandle.h); our popup-menu engine shows them and
// asks owner-drawn entries' components through the popup list and the owner form.
#include <memory>
#include <vector>

#include "framework/controls/contextmenu.h"
#include "framework/core/classes.h"
#include "framework/menus/menuhandle.h"

namespace fw {

class TMenu;

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TMenuItem : public TComponent {
    FW_CLASS(TMenuItem)
  public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;
    bool WrittenInsideParent() const override { return true; }

    // Setters that change what the menu handle shows rebuild the level as plain text and
    // tell the menu (CM_MENUCHANGED to its owner and the popup list).
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& s);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool v) { radioItem_ = v; }
    bool Default() const { return default_; }
    void SetDefault(bool v);
    TMenuBreak Break() const { return break_; }
    void SetBreak(TMenuBreak v);
    // A key code with modifier bits (scShift, scCtrl, scAlt); 0 = none. Shown beside the
    // caption.
    int ShortCut() const { return shortCut_; }
    void SetShortCut(int v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& s) { hint_ = s; }
    bool IsLine() const { return caption_ == "-"; }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int i) const { return items_[static_cast<size_t>(i)]; }
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    int IndexOf(const TMenuItem* item) const;
    // The menu this item belongs to (through its parents), or null.
    TMenu* Menu() const;

    // Runs OnClick (the popup engine calls this when the item is chosen, and for an item
    // with children when its level opens).
    virtual void Click();

    // The command identifier, unique in the process.
    unsigned Command() const { return command_; }
    // The handle of this item's level (its visible children), kept in step with them.
    TMenuHandle* Handle();
    // The item with the command among this item and its descendants, or null.
    TMenuItem* FindByCommand(unsigned command);
    // The item whose level has the handle, among this item and its descendants.
    TMenuItem* FindByHandle(TMenuHandle* handle);

    TSenderEvent OnClick;

    void SetParentComponent(TComponent* parent) override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  private:
    std::string caption_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool radioItem_ = false;
    bool default_ = false;
    TMenuBreak break_ = mbNone;
    int groupIndex_ = 0;
    int imageIndex_ = -1;
    std::string hint_;
    int shortCut_ = 0;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;          // set on the root item only
    std::vector<TMenuItem*> items_;  // not owned: every item is owned by the form
    unsigned command_;
    std::unique_ptr<TMenuHandle> handle_;
    bool handleValid_ = false;
    // This item's entry in its parent's level changed (or the level's list did).
    void Changed();
    void InvalidateHandle() { handleValid_ = false; }

    friend class TMenu;
};

class TMenu : public TComponent {
    FW_CLASS(TMenu)
  public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    // The unnamed root item whose children are the menu's items.
    TMenuItem* Items() const { return items_.get(); }
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool v) { ownerDraw_ = v; }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    // Finds an item of this menu by name, at any depth.
    TMenuItem* FindItem(const std::string& name) const;
    // The handle of the top level.
    TMenuHandle* Handle() const { return items_->Handle(); }
    // Tells the owner (when it is a control) and the popup list that items changed.
    void MenuChanged();

  private:
    ComponentPtr<TMenuItem> items_;
    bool ownerDraw_ = false;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu, public TContextMenu {
    FW_CLASS(TPopupMenu)
  public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment a) { alignment_ = a; }
    bool AutoPopup() const override { return autoPopup_; }
    void SetAutoPopup(bool v) { autoPopup_ = v; }
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* c) { popupComponent_ = c; }

    // Shows the menu with its top-left corner at the screen point and runs it modally;
    // returns when the user has chosen an item (its OnClick has run) or cancelled.
    virtual void Popup(int X, int Y);
    void PopupFor(TComponent* clicked, int x, int y) override {
        SetPopupComponent(clicked);
        Popup(x, y);
    }
    TComponent* AsComponent() override { return this; }

    TSenderEvent OnPopup;

    // The engine that shows menus; replaceable so that tests can choose items without a
    // modal loop, and so that owner-drawn menus can be painted by their decorators.
    using PopupEngine = std::function<void(TPopupMenu& menu, int x, int y)>;
    static void SetPopupEngine(PopupEngine engine);
    static const PopupEngine& CurrentPopupEngine();

  private:
    TPopupAlignment alignment_ = paLeft;
    bool autoPopup_ = true;
    TComponent* popupComponent_ = nullptr;
};

// Shows a menu with our popup-menu engine (the default engine).
void OwnPopupEngine(TPopupMenu& menu, int x, int y);

inline constexpr int scShift = 0x2000;
inline constexpr int scCtrl = 0x4000;
inline constexpr int scAlt = 0x8000;
// "Ctrl+C", "Shift+F5", "Del": the shortcut as menus show it; empty for 0.
std::string ShortCutToText(int shortCut);

}  // namespace fw
