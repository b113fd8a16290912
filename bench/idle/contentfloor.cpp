// The floor's stack showing what the widget shows, in plain Qt Widgets: a frameless 164x51
// window of five pictures, a label in an 8-pixel face and two in a 9-pixel one (the host
// name scrolling 20 steps a second), an 11x15 indicator stepping through eight frames, two
// popup menus of 44 items between them and a tray icon. bench/idle/run and bench/startup/run
// put the widget beside it as well as beside the bare floor (floor.cpp), so that a gap can be
// told apart into what the content costs in any Qt program and what the widget adds.
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

QPixmap Plain(int w, int h, const QColor& c) {
    QPixmap p(w, h);
    p.fill(c);
    return p;
}

QLabel* Picture(QWidget* parent, QRect at, const QPixmap& picture) {
    auto* label = new QLabel(parent);
    label->setGeometry(at);
    label->setPixmap(picture);
    return label;
}

QLabel* Picture(QWidget* parent, QRect at, const QColor& c) {
    return Picture(parent, at, Plain(at.width(), at.height(), c));
}

QLabel* Text(QWidget* parent, const QString& text, const QFont& face, QPoint at) {
    auto* label = new QLabel(text, parent);
    label->setFont(face);
    label->move(at);
    return label;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    window.setWindowTitle("content floor");
    window.setFixedSize(164, 51);
    window.move(420, 200);  // clear of the widget (227, 110), the floor and conky

    Picture(&window, {0, 0, 164, 51}, QColor(192, 192, 192));
    Picture(&window, {2, 2, 9, 8}, Qt::darkGray);
    Picture(&window, {147, 0, 9, 8}, Qt::darkGray);
    Picture(&window, {155, 0, 9, 9}, Qt::darkGray);
    Picture(&window, {18, 3, 103, 14}, Qt::gray);

    QFont small("Small Fonts"), arial("Arial");
    small.setPixelSize(8);
    arial.setPixelSize(9);
    Text(&window, "Local IP : 192.168.1.10", small, {27, 23});
    Text(&window, "Hostname :", arial, {27, 32});
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    QString name = QString::fromLocal8Bit(host) + "   ";
    QLabel* scrolling = Text(&window, name, arial, {78, 31});
    scrolling->setFixedWidth(67);

    QList<QPixmap> frames;
    for (int i = 0; i < 8; ++i) frames.append(Plain(11, 15, QColor::fromHsv(i * 45, 200, 200)));
    QLabel* indicator = Picture(&window, {142, 23, 11, 15}, frames[0]);
    int frame = 0;
    QTimer stepper;
    QObject::connect(&stepper, &QTimer::timeout, [&] {
        frame = (frame + 1) % static_cast<int>(frames.size());
        indicator->setPixmap(frames[frame]);
    });
    stepper.start(100);

    QMenu first, second;
    for (int i = 0; i < 30; ++i) first.addAction(QString("Command %1").arg(i));
    for (int i = 0; i < 14; ++i) second.addAction(QString("Command %1").arg(30 + i));
    QSystemTrayIcon tray(QIcon(Plain(16, 16, Qt::blue)));
    tray.setContextMenu(&first);
    tray.show();

    window.show();
    QTimer scroller;
    QObject::connect(&scroller, &QTimer::timeout, [&] {
        name = name.mid(1) + name.left(1);
        scrolling->setText(name);
    });
    scroller.start(50);
    return app.exec();
}
