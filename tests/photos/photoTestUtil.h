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
// OK. Check text() and count() after the code that shows the box returned.
class ModalAnswer
{
public:
    ModalAnswer() : m_timer(new QTimer(qApp))
    {
        auto state = m_state;
        QTimer* timer = m_timer;
        QObject::connect(timer, &QTimer::timeout, timer, [state, timer] {
            if (auto* box = qobject_cast<vbMessageBox*>(QApplication::activeModalWidget())) {
                state->first = box->label->text();
                ++state->second;
                box->on_btnOK_clicked();
                timer->deleteLater();
            }
        });
        timer->start(10);
    }
    ~ModalAnswer()
    {
        if (m_timer)
            m_timer->deleteLater();
    }
    QString text() const { return m_state->first; }
    int count() const { return m_state->second; }

private:
    std::shared_ptr<std::pair<QString, int>> m_state = std::make_shared<std::pair<QString, int>>();
    QPointer<QTimer> m_timer;
};

// Sends a drag-enter and a drop of paths to target; returns whether the enter was accepted.
inline bool dropPaths(QWidget* target, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mime.setUrls(urls);
    const QPoint at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted();
}
