#pragma once
// The popup window behind one open level of the menu engine: it paints the level and hands
// every input to the tracker.
#include <QWidget>

namespace fw {

class TMenuLevelWindow;
class TMenuTracker;

class TMenuLevelWidget : public QWidget {
  public:
    explicit TMenuLevelWidget(TMenuLevelWindow* level);
    // The level shown, or null once it has closed (the widget goes later).
    TMenuLevelWindow* Level() const { return level_; }
    void Detach() { level_ = nullptr; }

  protected:
    TMenuTracker* Tracker() const;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override { mousePressEvent(e); }
    void mouseReleaseEvent(QMouseEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    TMenuLevelWindow* level_;
};

}  // namespace fw
