#include "vbWindowDrag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

bool vbWindowDrag::systemMoveRequired(const QString& platformName)
{
    return platformName.startsWith(QLatin1String("wayland"), Qt::CaseInsensitive);
}

bool vbWindowDrag::systemMoveRequired()
{
    return systemMoveRequired(QGuiApplication::platformName());
}

void vbWindowDrag::press(QWidget* grip, QWidget* window, QMouseEvent* event, bool allowed)
{
    m_origin = grip->mapTo(window, event->position().toPoint());
    m_systemMove = false;
    if (!allowed || !systemMoveRequired())
        return;
    // The compositor owns window positions here; let it run the drag.
    if (QWindow* handle = window->windowHandle())
        m_systemMove = handle->startSystemMove();
}

void vbWindowDrag::move(QWidget* window, QMouseEvent* event, bool allowed)
{
    if (!allowed || m_systemMove)
        return;
    window->move(event->globalPosition().toPoint() - m_origin);
}
