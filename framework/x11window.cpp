#include "framework/x11window.h"

#include <QWidget>

#include "framework/controls/windowstate.h"
#include "framework/forms.h"
#include "framework/fwwidget.h"

namespace fw {

// A form keeps the state itself, so that it survives a new native window and every show;
// any other window gets it once.
void SetSkipTaskbar(QWidget* window, bool skip) {
    if (!window) return;
    if (auto* w = dynamic_cast<FwWidget*>(window))
        if (auto* form = dynamic_cast<TCustomForm*>(w->Control())) {
            form->SetSkipTaskbar(skip);
            return;
        }
    PutWindowStates(window, {skip, skip, bool(window->windowFlags() & Qt::WindowStaysOnTopHint)});
}

}  // namespace fw
