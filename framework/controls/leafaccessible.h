#pragma once
// What every windowless child a screen reader sees has in common: it is no object of its
// own, has no children, and its parent is the interface of the widget that hosts it.
// Framework sources only.
#include <QAccessible>
#include <QPointer>
#include <QWidget>

namespace fw {

template <class Host>
class LeafAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    explicit LeafAccessible(Host* host) : host_(host) {}

    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return host_ ? host_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return host_ ? QAccessible::queryAccessibleInterface(host_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  protected:
    QPointer<Host> host_;
};

}  // namespace fw
