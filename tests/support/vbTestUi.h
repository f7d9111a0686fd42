#pragma once

#include <QStringList>
#include <QWidget>

// Input the way a user gives it, for the widget suites.
namespace vbTestUi {

// A named child of a form; a missing one ends the test run at once.
template <typename T> T* formChild(QWidget* form, const char* name)
{
    T* w = form->findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("missing form child %s", name);
    return w;
}

// A left click in the middle of the widget.
void click(QWidget* widget);
// Types text key by key like QTest::keyClicks, but any character (keyClicks only knows Latin-1).
void typeText(QWidget* widget, const QString& text);
// A drag-enter and a drop of the paths on target; whether the enter was accepted.
bool dropPaths(QWidget* target, const QStringList& paths);

} // namespace vbTestUi
