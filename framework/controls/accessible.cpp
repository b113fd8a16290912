#include "framework/controls/accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <map>
#include <utility>
#include <vector>

#include "framework/controls/controls.h"
#include "framework/controls/fwwidget.h"
#include "framework/controls/leafaccessible.h"
#include "framework/core/messages.h"

namespace fw {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Which windowless controls a screen reader is told about: those with a text or a hint.
// Artwork with neither (the title, the indicator) stays out.
bool Exposed(const TControl& c) {
    return c.Showing() && (!c.AccessibleText().empty() || !c.Hint().empty());
}

TClickRoleQuery& ClickRoleQuery() {
    static TClickRoleQuery query;
    return query;
}

TClickRole ClickRoleOf(const TControl& c) {
    return ClickRoleQuery() ? ClickRoleQuery()(c) : HandlerClickRole(c);
}

// A glyph that shows its hint and answers a click (or the release that ends one) is a
// button; the skin answers the mouse too, but to drag the window, and shows no hint. A
// text that acts on a click (Add, Clear, a link) is pressed like one.
bool Pressable(const TControl& c) {
    if (!c.AccessibleText().empty()) return ClickRoleOf(c) != TClickRole::None;
    return c.ShowHint() && (c.OnClick || c.OnMouseUp);
}

}  // namespace

class ControlAccessible : public LeafAccessible<FwWidget> {
  public:
    ControlAccessible(FwWidget* host, TControl* control)
        : LeafAccessible(host), control_(control) {}

    bool isValid() const override {
        if (!host_ || !host_->Control()) return false;
        const TWinControl* parent = host_->Control();
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (parent->Controls(i) == control_) return true;
        return false;
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        const std::string text = control_->AccessibleText();
        switch (t) {
            case QAccessible::Name:
                return Q(text.empty() ? control_->Hint() : text);
            case QAccessible::Description:
                return text.empty() ? QString() : Q(control_->Hint());
            default:
                return {};
        }
    }

    QRect rect() const override {
        if (!isValid()) return {};
        const TPoint o = control_->OriginInWindow();
        return QRect(host_->mapToGlobal(QPoint(o.X, o.Y)),
                     QSize(control_->ClientWidth(), control_->ClientHeight()));
    }

    QAccessible::Role role() const override {
        if (!isValid()) return QAccessible::NoRole;
        if (!control_->AccessibleText().empty()) {
            switch (ClickRoleOf(*control_)) {
                case TClickRole::Link:
                    return QAccessible::Link;
                case TClickRole::Command:
                    return QAccessible::Button;
                case TClickRole::None:
                    return QAccessible::StaticText;
            }
        }
        if (Pressable(*control_))
            return control_->PopupMenu() ? QAccessible::ButtonMenu : QAccessible::Button;
        return QAccessible::Graphic;
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.invisible = !control_->Showing();
        s.disabled = !control_->Enabled();
        s.hasPopup = control_->PopupMenu() != nullptr;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ActionInterface && isValid() && Pressable(*control_))
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override {
        return isValid() && Pressable(*control_) ? QStringList{pressAction()} : QStringList{};
    }
    // A press is a left click in the control's middle, through the same messages as the
    // mouse's, so the control's own handlers decide what it does.
    // It runs once the reader's request has been answered: a press that opens a modal box
    // (Clear asks first) would otherwise hold the reader until the box is closed.
    void doAction(const QString& name) override {
        if (name != pressAction() || !isValid() || !Pressable(*control_)) return;
        const QAccessible::Id self = QAccessible::uniqueId(this);
        QMetaObject::invokeMethod(
            host_.data(),
            [self] {
                auto* me = static_cast<ControlAccessible*>(QAccessible::accessibleInterface(self));
                if (me && me->isValid() && Pressable(*me->control_)) me->Press();
            },
            Qt::QueuedConnection);
    }
    void Press() {
        TControl* c = control_;
        const TPoint at{c->ClientWidth() / 2, c->ClientHeight() / 2};
        Guarded(c, [&] {
            c->Perform(WM_LBUTTONDOWN, TMouseData{at, ssLeft});
            c->Perform(WM_LBUTTONUP, TMouseData{at, 0});
        });
    }

    TControl* Control() const { return control_; }

  private:
    TControl* control_;
};

namespace {

class WindowAccessible : public QAccessibleWidget {
  public:
    explicit WindowAccessible(FwWidget* w)
        : QAccessibleWidget(w, w->isWindow() ? QAccessible::Window : QAccessible::Client) {}

    ~WindowAccessible() override {
        for (const auto& [control, id] : children_) QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override {
        const TWinControl* c = Host()->Control();
        if (c && t == QAccessible::Name && !c->Caption().empty()) return Q(c->Caption());
        if (c && t == QAccessible::Description && !c->Hint().empty()) return Q(c->Hint());
        return QAccessibleWidget::text(t);
    }

    int childCount() const override {
        return static_cast<int>(Windowless().size()) + QAccessibleWidget::childCount();
    }
    QAccessibleInterface* child(int index) const override {
        const std::vector<TControl*> own = Windowless();
        if (index < 0) return nullptr;
        if (index < static_cast<int>(own.size())) return For(own[static_cast<std::size_t>(index)]);
        return QAccessibleWidget::child(index - static_cast<int>(own.size()));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<TControl*> own = Windowless();
        for (std::size_t i = 0; i < own.size(); ++i) {
            auto it = children_.find(own[i]);
            if (it != children_.end() && QAccessible::accessibleInterface(it->second) == child)
                return static_cast<int>(i);
        }
        const int i = QAccessibleWidget::indexOfChild(child);
        return i < 0 ? -1 : i + static_cast<int>(own.size());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        // The topmost control under the point: the last one painted there.
        const std::vector<TControl*> own = Windowless();
        for (auto it = own.rbegin(); it != own.rend(); ++it) {
            QAccessibleInterface* c = For(*it);
            if (c->rect().contains(x, y)) return c;
        }
        return QAccessibleWidget::childAt(x, y);
    }

    // The interface of one of this window's controls, made once and kept while we live.
    QAccessibleInterface* For(TControl* control) const {
        auto it = children_.find(control);
        if (it != children_.end()) {
            if (QAccessibleInterface* i = QAccessible::accessibleInterface(it->second);
                i && static_cast<ControlAccessible*>(i)->Control() == control)
                return i;
        }
        auto* made = new ControlAccessible(Host(), control);
        children_[control] = QAccessible::registerAccessibleInterface(made);
        return made;
    }

    FwWidget* Host() const { return static_cast<FwWidget*>(widget()); }

  private:
    std::vector<TControl*> Windowless() const {
        std::vector<TControl*> out;
        const TWinControl* c = Host()->Control();
        if (!c) return out;
        for (int i = 0; i < c->ControlCount(); ++i) {
            TControl* child = c->Controls(i);
            if (!dynamic_cast<TWinControl*>(child) && Exposed(*child)) out.push_back(child);
        }
        return out;
    }

    mutable std::map<TControl*, QAccessible::Id> children_;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* w = dynamic_cast<FwWidget*>(object)) return new WindowAccessible(w);
    return nullptr;
}

}  // namespace

TClickRole HandlerClickRole(const TControl& control) {
    return control.OnClick ? TClickRole::Command : TClickRole::None;
}

void SetClickRoleQuery(TClickRoleQuery query) { ClickRoleQuery() = std::move(query); }

void InstallAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(&Factory);
}

void AccessibleTextChanged(TControl* control) {
    if (!control) return;
    TWinControl* parent = control->Parent();
    if (!parent || dynamic_cast<TWinControl*>(control)) return;
    // A window with no widget yet has nothing a reader knows of; telling it must not make
    // the widget (a window still being loaded would get it early).
    if (!parent->HandleAllocated()) return;
    auto* host = dynamic_cast<FwWidget*>(parent->Handle());
    if (!host || !Exposed(*control)) return;
    // Asked last: the first question starts the toolkit's link to the readers, which a
    // window being loaded does not need yet.
    if (!QAccessible::isActive()) return;
    auto* window = dynamic_cast<WindowAccessible*>(QAccessible::queryAccessibleInterface(host));
    if (!window) return;
    QAccessibleEvent event(window->For(control), QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

}  // namespace fw
