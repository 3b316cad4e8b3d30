// The floor for start-up: a bare Qt 6 window of Brinmoor's size with one button and one
// Japanese label, and nothing else.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(900, 541);
    QPushButton button(QStringLiteral("初期画面"), &window);
    button.setGeometry(8, 8, 89, 57);
    QLabel label(QStringLiteral("正三角形のラベル"), &window);
    label.setGeometry(120, 20, 300, 30);
    window.show();
    return app.exec();
}
