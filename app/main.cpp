#include "app_icon.h"
#include "form1.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brinmoor"));
    QApplication::setOrganizationName(QStringLiteral("Tolvane"));
    QApplication::setApplicationVersion(QStringLiteral(BRINMOOR_VERSION));
    // The task bar shows this icon; the desktop file name ties the window to its menu entry.
    QApplication::setWindowIcon(appIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral(BRINMOOR_APP_ID));
    // One look everywhere: the button faces and panels were laid out against Fusion.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    Form1 window;
    window.show();
    return app.exec();
}
