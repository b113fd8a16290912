#pragma once
// The popup window behind one open level of the menu engine: it paints the level and hands
// every input to the tracker. Windows of closed levels are kept for the next levels to open:
// making an X window, its backing store and its accessibility object anew at every opening
// cost more than laying out and painting the level.
#include <QWidget>

namespace fw {

class TMenuLevelWindow;
class TMenuTracker;

class TMenuLevelWidget : public QWidget {
  public:
    // A kept window, or a new one, to show the level.
    static TMenuLevelWidget* Take(TMenuLevelWindow* level);
    // The level has closed: the window hides and is kept (or goes, when enough are kept).
    void Release();
    // The level shown, or null once it has closed.
    TMenuLevelWindow* Level() const { return level_; }

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
    explicit TMenuLevelWidget(TMenuLevelWindow* level);

    TMenuLevelWindow* level_;
    unsigned opens_ = 0;  // levels shown so far, so that a late close of one spares the next
};

}  // namespace fw
