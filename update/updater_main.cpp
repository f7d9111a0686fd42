#include "vbUpdaterApp.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTranslator translator;
    vbUpdaterApp::setupApplication(app, &translator);
    return vbUpdaterApp().run();
}
