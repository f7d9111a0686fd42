#include "vbModalAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>

vbModalAnswer::vbModalAnswer(Handler fallback) : m_fallback(std::move(fallback))
{
    connect(&m_timer, &QTimer::timeout, this, &vbModalAnswer::poll);
    m_timer.start(10);
}

void vbModalAnswer::expect(const QString& className, Handler handler)
{
    m_queue.append({className, std::move(handler)});
}

vbModalAnswer::Handler vbModalAnswer::press(const char* button)
{
    const QString name = QLatin1String(button);
    return [name](QWidget* dialog) {
        auto* b = dialog->findChild<QAbstractButton*>(name);
        if (b)
            QTest::mouseClick(b, Qt::LeftButton);
        else
            reject(dialog); // a missing button must not leave the dialog waiting
    };
}

void vbModalAnswer::reject(QWidget* dialog)
{
    if (auto* modal = qobject_cast<QDialog*>(dialog))
        modal->reject();
    else
        dialog->close();
}

void vbModalAnswer::poll()
{
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog == m_current || !dialog->isVisible())
        return;
    m_current = dialog;
    const QString className = QLatin1String(dialog->metaObject()->className());
    const auto* label = dialog->findChild<QLabel*>(QStringLiteral("label"));
    m_texts.append(label ? label->text() : QString());
    m_seen.append(className + QStringLiteral(": ") + m_texts.last());
    if (m_queue.isEmpty() || m_queue.first().first != className) {
        m_unexpected.append(m_seen.last());
        m_fallback(dialog);
        return;
    }
    m_queue.takeFirst().second(dialog);
}
