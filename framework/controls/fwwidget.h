#pragma once
// The one boundary where Qt events become messages: the widget behind every windowed
// control.
#include <QPointer>
#include <QWidget>
#include <QWindow>

// Paint events lend their painter to a control's canvas.
#include "framework/graphics/canvasimpl.h"

namespace fw {

class TWinControl;

class FwWidget : public QWidget {
  public:
    FwWidget(TWinControl* control, QWidget* parent);
    TWinControl* Control() const { return control_; }
    void Detach() { control_ = nullptr; }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void SendMouse(unsigned msg, QMouseEvent* e);
    // After a show: whether the window reached the screen, checked a few times over seconds.
    static constexpr int kMapChecks = 10;
    void CheckMappedLater(int checksLeft);
    TWinControl* control_;
    QPointer<QWindow> watched_;       // the native window whose exposure is watched
    bool statesAfterMap_ = false;     // a form's states go to the window manager once mapped
    bool statesOnNewWindow_ = false;  // put on a native window made since the last show
};

}  // namespace fw
