#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Answers the modal dialogs a test provokes, in the order they open, as a user would. Each dialog is
// recorded with the text of its "label" child. An expected dialog runs its handler; any other one is
// noted as unexpected and given to the fallback, which by default rejects it, so a test never hangs.
class vbModalAnswer : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(QWidget*)>;

    explicit vbModalAnswer(Handler fallback = reject);

    // The next dialog is of this class; the handler answers it (default: its OK button).
    void expect(const QString& className, Handler handler = press("btnOK"));
    template <typename T> void expect(std::function<void(T*)> handler)
    {
        expect(QLatin1String(T::staticMetaObject.className()),
               [handler](QWidget* dialog) { handler(static_cast<T*>(dialog)); });
    }

    int pending() const { return int(m_queue.size()); }
    QStringList texts() const { return m_texts; }
    QStringList seen() const { return m_seen; } // "class: text" of each dialog
    QStringList unexpected() const { return m_unexpected; }

    // Clicks the named button of the dialog.
    static Handler press(const char* button);
    static void reject(QWidget* dialog);

private:
    void poll();

    Handler m_fallback;
    QTimer m_timer;
    QPointer<QWidget> m_current;
    QList<QPair<QString, Handler>> m_queue;
    QStringList m_texts, m_seen, m_unexpected;
};
