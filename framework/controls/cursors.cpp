#include "framework/controls/cursors.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QFile>
#include <QWidget>
#include <map>
#include <optional>

#include "framework/controls/controls.h"
#include "framework/core/qtconvert.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/qtgraphics.h"

namespace fw {

namespace {

struct Registered {
    QCursor cursor;
    TCursorInfo info;
};

std::map<int, Registered>& Table() {
    static std::map<int, Registered> table;
    return table;
}

bool IsWhite(const QImage& img, int x, int y) { return (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }

Qt::CursorShape FrameworkShape(int id) {
    switch (id) {
        case crHandPoint:
            return Qt::PointingHandCursor;
        case crIBeam:
            return Qt::IBeamCursor;
        case crCross:
            return Qt::CrossCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace

bool RegisterScreenCursor(int id, const TBitmap& andOverImage, int hotX, int hotY) {
    const QImage src = andOverImage.ToRGBImage();
    const int w = src.width(), h = src.height() / 2;
    if (w <= 0 || h <= 0 || src.height() != 2 * h) return false;
    QImage image(w, h, QImage::Format_Mono), mask(w, h, QImage::Format_Mono);
    for (QImage* i : {&image, &mask}) {
        i->setColor(0, qRgb(255, 255, 255));
        i->setColor(1, qRgb(0, 0, 0));
        i->fill(0);
    }
    TCursorInfo info{true, w, h, {hotX, hotY}, std::string(static_cast<size_t>(w * h), ' ')};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool transparent = IsWhite(src, x, y);
            const bool white = IsWhite(src, x, y + h);
            if (transparent) continue;  // white over a transparent pixel counts as none
            mask.setPixel(x, y, 1);
            if (!white) image.setPixel(x, y, 1);
            info.pixels[static_cast<size_t>(y * w + x)] = white ? 'W' : 'B';
        }
    Table()[id] = {QCursor(QBitmap::fromImage(image), QBitmap::fromImage(mask), hotX, hotY), info};
    return true;
}

bool RegisterScreenCursorResource(int id, const std::string& path, int hotX, int hotY) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = f.readAll();
    TBitmap bmp;
    try {
        bmp.LoadFromStream(Bytes(bytes.begin(), bytes.end()));
    } catch (const std::exception&) {
        return false;
    }
    return RegisterScreenCursor(id, bmp, hotX, hotY);
}

bool ScreenCursorRegistered(int id) { return Table().count(id) != 0; }

TCursorInfo ScreenCursorInfo(int id) {
    auto it = Table().find(id);
    return it == Table().end() ? TCursorInfo{} : it->second.info;
}

void ApplyScreenCursor(QWidget* widget, int id) {
    if (!widget) return;
    // Setting the same cursor again makes the window system busy for nothing.
    const QVariant last = widget->property("fw.cursor");
    if (last.isValid() && last.toInt() == id) return;
    widget->setProperty("fw.cursor", id);
    auto it = Table().find(id);
    if (it != Table().end())
        widget->setCursor(it->second.cursor);
    else if (id == crDefault)
        widget->unsetCursor();
    else
        widget->setCursor(FrameworkShape(id));
}

TPoint CursorPos() { return FromQPoint(QCursor::pos()); }
void SetCursorPos(TPoint p) { QCursor::setPos(ToQPoint(p)); }

namespace {
// Empty while no button is held in our windows: a later press elsewhere must not find an old
// place here.
std::optional<TPoint> lastHeldMouse;
}  // namespace
TPoint LastMousePos() { return lastHeldMouse ? *lastHeldMouse : CursorPos(); }
void NoteMousePos(TPoint p, bool buttonHeld) {
    lastHeldMouse = buttonHeld ? std::optional<TPoint>(p) : std::nullopt;
}

TControl* FindControlAt(TPoint screen) {
    QWidget* w = QApplication::widgetAt(ToQPoint(screen));
    TWinControl* owner = nullptr;
    for (; w && !owner; w = w->parentWidget())
        owner = static_cast<TWinControl*>(w->property("fw.control").value<void*>());
    if (!owner) return nullptr;
    TPoint local = owner->ScreenToClient(screen);
    if (TControl* c = owner->ControlAtPos(local)) return c;
    return owner;
}

bool ApplicationIsForeground() { return QApplication::activeWindow() != nullptr; }

}  // namespace fw
