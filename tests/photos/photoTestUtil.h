#pragma once

#include "vbMessageBox.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <memory>

// Answers the next kit message box that opens: records its text and presses
// OK (or Escape). Check text() after the code that shows the box returned.
class ModalAnswer
{
public:
    explicit ModalAnswer(bool pressOk = true) : m_state(std::make_shared<State>())
    {
        auto state = m_state;
        auto* timer = new QTimer(qApp);
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [state, timer, pressOk] {
            auto* box = qobject_cast<vbMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            state->text = box->label->text();
            ++state->count;
            if (pressOk)
                box->on_btnOK_clicked();
            else
                box->reject();
            timer->deleteLater();
        });
        timer->start();
        m_timer = timer;
    }
    ~ModalAnswer()
    {
        if (m_timer)
            m_timer->deleteLater();
    }
    QString text() const { return m_state->text; }
    int count() const { return m_state->count; }

private:
    struct State
    {
        QString text;
        int count = 0;
    };
    std::shared_ptr<State> m_state;
    QPointer<QTimer> m_timer;
};

inline QMimeData* urlMime(const QStringList& paths)
{
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mime->setUrls(urls);
    return mime;
}

// Sends a drag-enter and a drop of paths to target; returns whether the enter was accepted.
inline bool dropPaths(QWidget* target, const QStringList& paths)
{
    std::unique_ptr<QMimeData> mime(urlMime(paths));
    const QPoint at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted();
}
