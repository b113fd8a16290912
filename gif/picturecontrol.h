#pragma once
// Base of the controls that show a picture: paints every pixel of its area itself and
// repaints when its picture changes, unless it is drawing already.
#include "framework/controls/controls.h"
#include "framework/graphics/graphicsbase.h"

namespace gif {

class TPictureControl : public fw::TGraphicControl {
    FW_CLASS(TPictureControl)
  public:
    explicit TPictureControl(fw::TComponent* owner);

    bool Drawing() const { return drawing_; }

  protected:
    // The picture shown; the descendant owns it.
    fw::TGraphic* Graphic() const { return graphic_; }
    void SetGraphic(fw::TGraphic* g) { graphic_ = g; }
    // After a change of the picture or of how it is shown.
    void PictureChanged();
    // Paint handlers run inside this scope, so that a change made while painting does
    // not ask for another paint.
    class DrawingScope {
      public:
        explicit DrawingScope(TPictureControl& c) : c_(c) { c_.drawing_ = true; }
        ~DrawingScope() { c_.drawing_ = false; }
        DrawingScope(const DrawingScope&) = delete;
        DrawingScope& operator=(const DrawingScope&) = delete;

      private:
        TPictureControl& c_;
    };

  private:
    bool drawing_ = false;
    fw::TGraphic* graphic_ = nullptr;
};

}  // namespace gif
