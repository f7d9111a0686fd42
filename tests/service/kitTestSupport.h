#pragma once

#include "vbMessageBox.h"
#include "vbPushButton.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

// A named child of a form; a missing one ends the test run at once.
template <typename T> T* formChild(QWidget* form, const char* name)
{
    T* w = form->findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("missing form child %s", name);
    return w;
}

// Types text key by key like keyClicks, but for any character (keyClicks only knows Latin-1).
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

// The Chinese translation of the service and kit texts while it lives.
class vbChineseUi
{
public:
    vbChineseUi()
    {
        m_loaded = m_translator.load(QStringLiteral(PV_SERVICE_TEST_QM));
        QCoreApplication::installTranslator(&m_translator);
    }
    ~vbChineseUi() { QCoreApplication::removeTranslator(&m_translator); }
    bool isLoaded() const { return m_loaded; }

private:
    QTranslator m_translator;
    bool m_loaded = false;
};

// Saves a grab of the widget as <build>/screenshots/<name>.png for a person to look at.
inline bool saveShot(QWidget* widget, const QString& name)
{
    const QString dir =
        qEnvironmentVariable("PV_BUILD_DIR", QDir::tempPath()) + QStringLiteral("/screenshots");
    return QDir().mkpath(dir) && widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// True when each label is wide enough (and, wrapping, high enough) for its whole text.
inline bool textsFit(QWidget* form, std::initializer_list<const char*> labels)
{
    for (const char* name : labels) {
        auto* l = formChild<QLabel>(form, name);
        const bool fits = l->wordWrap() ? l->height() >= l->heightForWidth(l->width())
                                        : l->width() >= l->sizeHint().width();
        if (!fits) {
            qWarning("%s does not fit its text", name);
            return false;
        }
    }
    return true;
}

// Answers the kit message boxes a test provokes: each one that comes up
// modally is read and closed with its OK button, as a user would.
class vbTipCatcher : public QObject
{
    Q_OBJECT
public:
    explicit vbTipCatcher(QObject* parent = nullptr) : QObject(parent)
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &vbTipCatcher::poll);
        m_timer.start();
    }

    QStringList texts() const { return m_texts; }

private:
    void poll()
    {
        auto* box = qobject_cast<vbMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == m_lastBox)
            return;
        m_lastBox = box;
        m_texts.append(box->label->text());
        QTest::mouseClick(box->btnOK, Qt::LeftButton);
    }

    QTimer m_timer;
    QPointer<vbMessageBox> m_lastBox;
    QStringList m_texts;
};
