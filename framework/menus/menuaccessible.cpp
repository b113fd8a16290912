#include "framework/menus/menuaccessible.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPointer>
#include <map>
#include <vector>

#include "framework/controls/controls.h"
#include "framework/controls/leafaccessible.h"
#include "framework/menus/menuengine.h"
#include "framework/menus/menulevel.h"
#include "framework/menus/menus.h"
#include "framework/menus/menutext.h"

namespace fw {

namespace {

// The item behind an entry: owner-drawn entries carry no text, and the item knows its
// caption and states whatever a component did to the entry.
TMenuItem* ItemOf(const TMenuLevelWindow& level, const TMenuEntry& e) {
    if (e.flags & MF_SEPARATOR) return nullptr;
    TMenuItem* items = level.Tracker()->Menu().Items();
    return items ? items->FindByCommand(e.command) : nullptr;
}

class MenuItemAccessible : public LeafAccessible<TMenuLevelWidget> {
  public:
    MenuItemAccessible(TMenuLevelWidget* host, int index) : LeafAccessible(host), index_(index) {}

    bool isValid() const override {
        return host_ && host_->Level() && index_ < host_->Level()->EntryCount() &&
               index_ < static_cast<int>(Level()->Handle()->entries.size());
    }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        const TMenuEntry& e = Entry();
        if (e.flags & MF_SEPARATOR) return {};
        if (t == QAccessible::Name) {
            if (!e.text.empty()) return MenuSpokenName(e.text);
            TMenuItem* item = ItemOf(*Level(), e);
            return item ? MenuSpokenName(item->Caption()) : QString();
        }
        if (t == QAccessible::Accelerator) {
            QString caption, shortcut;
            SplitMenuText(e.text, caption, shortcut);
            return shortcut;
        }
        return {};
    }

    QRect rect() const override {
        if (!isValid()) return {};
        const TRect c = Level()->ScreenClientRect();
        const TRect r = Level()->EntryRect(index_);
        return QRect(c.Left + r.Left, c.Top + r.Top, r.Width(), r.Height());
    }

    QAccessible::Role role() const override {
        if (!isValid()) return QAccessible::NoRole;
        return (Entry().flags & MF_SEPARATOR) ? QAccessible::Separator : QAccessible::MenuItem;
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const TMenuEntry& e = Entry();
        if (e.flags & MF_SEPARATOR) return s;
        const TMenuItem* item = ItemOf(*Level(), e);
        s.disabled = (e.flags & MF_GRAYED) || (item && !item->Enabled());
        s.checked = (e.flags & MF_CHECKED) || (item && item->Checked());
        s.checkable = s.checked;
        s.hasPopup = e.submenu != nullptr;
        s.focusable = !s.disabled;
        s.selectable = true;
        const bool current = Level()->Selected() == index_;
        s.focused = current;
        s.selected = current;
        s.hotTracked = current;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }
    QStringList actionNames() const override {
        if (!isValid() || role() != QAccessible::MenuItem || state().disabled) return {};
        return {Entry().submenu ? showMenuAction() : pressAction()};
    }
    // The same as Return on the entry: a submenu opens, a command is chosen.
    void doAction(const QString& name) override {
        if (!actionNames().contains(name)) return;
        TMenuTracker* t = Level()->Tracker();
        const int level = t->IndexOf(Level());
        if (level >= 0 && t->Active()) t->Activate(level, index_);
    }

    TMenuLevelWidget* Host() const { return host_; }
    int Index() const { return index_; }

  private:
    TMenuLevelWindow* Level() const { return host_->Level(); }
    const TMenuEntry& Entry() const {
        return Level()->Handle()->entries[static_cast<std::size_t>(index_)];
    }

    int index_;
};

class MenuLevelAccessible : public QAccessibleWidget {
  public:
    explicit MenuLevelAccessible(TMenuLevelWidget* w)
        : QAccessibleWidget(w, QAccessible::PopupMenu) {}
    ~MenuLevelAccessible() override {
        for (const auto& [index, id] : items_) QAccessible::deleteAccessibleInterface(id);
    }

    // A submenu is named by the entry that opened it; the top level by the menu's own
    // caption, or else by the window whose menu it is.
    QString text(QAccessible::Text t) const override {
        TMenuLevelWindow* l = Level();
        if (t != QAccessible::Name || !l || !l->Handle()->item) return QAccessibleWidget::text(t);
        const TMenuItem* item = l->Handle()->item;
        if (item->Parent() || !item->Caption().empty()) return MenuSpokenName(item->Caption());
        for (TComponent* c = &l->Tracker()->Menu(); c; c = c->Owner())
            if (auto* control = dynamic_cast<TControl*>(c); control && !control->Caption().empty())
                return MenuSpokenName(control->Caption());
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return Level() ? Level()->EntryCount() : 0; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        return Item(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [index, id] : items_)
            if (QAccessible::accessibleInterface(id) == child)
                return index < childCount() ? index : -1;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        TMenuLevelWindow* l = Level();
        if (!l) return nullptr;
        const int i = l->EntryAt(QPoint(x, y));
        return i < 0 ? nullptr : Item(i);
    }
    QAccessibleInterface* focusChild() const override {
        TMenuLevelWindow* l = Level();
        return l && l->Selected() >= 0 ? child(l->Selected()) : nullptr;
    }

    // One interface per entry, made once and kept while the level lives.
    QAccessibleInterface* Item(int index) const {
        auto it = items_.find(index);
        if (it != items_.end())
            if (QAccessibleInterface* i = QAccessible::accessibleInterface(it->second)) return i;
        auto* made = new MenuItemAccessible(Host(), index);
        items_[index] = QAccessible::registerAccessibleInterface(made);
        return made;
    }

  private:
    TMenuLevelWidget* Host() const { return static_cast<TMenuLevelWidget*>(widget()); }
    TMenuLevelWindow* Level() const { return Host()->Level(); }

    mutable std::map<int, QAccessible::Id> items_;
};

// Qt leaves popup windows out of the application's children, so a reader walking down
// from the program would never meet an open menu: the open levels follow its windows.
class ApplicationAccessible : public QAccessibleApplication {
  public:
    int childCount() const override {
        return QAccessibleApplication::childCount() + static_cast<int>(OpenLevels().size());
    }
    QAccessibleInterface* child(int index) const override {
        const int windows = QAccessibleApplication::childCount();
        if (index < windows) return QAccessibleApplication::child(index);
        const std::vector<TMenuLevelWidget*> levels = OpenLevels();
        const auto i = static_cast<std::size_t>(index - windows);
        return i < levels.size() ? QAccessible::queryAccessibleInterface(levels[i]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const int i = QAccessibleApplication::indexOfChild(child);
        if (i >= 0 || !child) return i;
        const std::vector<TMenuLevelWidget*> levels = OpenLevels();
        for (std::size_t k = 0; k < levels.size(); ++k)
            if (levels[k] == child->object())
                return QAccessibleApplication::childCount() + static_cast<int>(k);
        return -1;
    }

  private:
    static std::vector<TMenuLevelWidget*> OpenLevels() {
        std::vector<TMenuLevelWidget*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* level = dynamic_cast<TMenuLevelWidget*>(w);
                level && level->Level() && level->isVisible())
                out.push_back(level);
        return out;
    }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* w = dynamic_cast<TMenuLevelWidget*>(object)) return new MenuLevelAccessible(w);
    if (object && object == QCoreApplication::instance() && qobject_cast<QApplication*>(object))
        return new ApplicationAccessible;
    return nullptr;
}

TMenuAnnouncementListener listener = nullptr;

bool Heard() { return listener || QAccessible::isActive(); }

void Send(QAccessibleEvent& event) {
    if (listener) listener(&event);
    QAccessible::updateAccessibility(&event);
}

void Announce(TMenuLevelWindow* level, QAccessible::Event type) {
    if (!Heard() || !level) return;
    QAccessibleEvent event(level->Widget(), type);
    Send(event);
}

}  // namespace

void InstallMenuAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(&Factory);
}

void SetMenuAnnouncementListener(TMenuAnnouncementListener l) { listener = l; }

void AccessibleMenuOpened(TMenuLevelWindow* level) { Announce(level, QAccessible::PopupMenuStart); }

void AccessibleMenuClosing(TMenuLevelWindow* level) { Announce(level, QAccessible::PopupMenuEnd); }

void AccessibleMenuFocus(TMenuLevelWindow* level) {
    if (!Heard() || !level || level->Selected() < 0) return;
    auto* menu =
        dynamic_cast<MenuLevelAccessible*>(QAccessible::queryAccessibleInterface(level->Widget()));
    if (!menu) return;
    QAccessibleInterface* item = menu->Item(level->Selected());
    QAccessibleEvent focus(item, QAccessible::Focus);
    Send(focus);
    QAccessibleEvent selection(item, QAccessible::Selection);
    Send(selection);
}

}  // namespace fw
