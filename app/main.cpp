#include "vbKeychainStore.h"
#include "vbLanguage.h"
#include "vbMainWnd.h"
#include "vbSingleInstance.h"
#include "vbStartup.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QTranslator>

int main(int argc, char* argv[])
{
    // One copy per user session; a second one leaves silently.
    vbSingleInstance instance(QStringLiteral("Korvel"));
    if (!instance.tryLock())
        return 0;

    QApplication app(argc, argv);
    // The window hides in the tray, and a dialog closing while it is hidden
    // must not end the program: only the closing sequence quits.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setPalette(QPalette(QColor(147, 203, 233)));

    QTranslator translator;
    vbLanguage::install(&translator, QStringLiteral("pixvane"), QStringLiteral("system.ini"));

    const QString base = QDir::currentPath();
    const bool tempReady = vbStartup::clearTempImages(base);
    vbStartup::prepareDataFolder(base);

    int result = 0;
    {
        // The password of the automatic sign-in goes to the system's credential store where there is one.
        vbKeychainStore credentials(QStringLiteral("velbrook"));
        vbMainWnd window(&credentials);
        window.show();
        result = QApplication::exec();
        if (tempReady)
            vbStartup::clearTempImages(base);
    }
    return result;
}
