#include <QApplication>
#include <QLabel>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Zorvane"));
    label.setWindowTitle(QStringLiteral("Zorvane"));
    label.show();
    return app.exec();
}
