#pragma once

#include "vbMessageBox.h"
#include "vbPushButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QtTest>

// Types text into a widget key by key, as keyClicks does, but for any
// character (keyClicks only knows Latin-1).
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
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
