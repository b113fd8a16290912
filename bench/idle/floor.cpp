// The least a Qt Widgets program does for the widget's visible work: a frameless window
// whose label changes 20 times a second. bench/idle/run compares the widget with it.
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label;
    label.setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    label.setWindowTitle("idle floor");
    label.setFixedSize(164, 51);
    label.move(420, 110);
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    QString text = QString::fromLocal8Bit(host) + "   ";
    label.setText(text);
    label.show();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        text = text.mid(1) + text.left(1);
        label.setText(text);
    });
    timer.start(50);
    return app.exec();
}
