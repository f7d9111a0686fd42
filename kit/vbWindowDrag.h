#pragma once

#include <QPoint>
#include <QString>

class QMouseEvent;
class QWidget;

// Moves a frameless window by a grip widget (a caption strip, a panel).
// Where the platform lets a window place itself the window follows the
// cursor: its top-left becomes the cursor's global position minus the press
// point in the window. Where it does not (Wayland) the press hands the move
// to the window system instead.
class vbWindowDrag
{
public:
    // True when the platform ignores a window placing itself.
    static bool systemMoveRequired(const QString& platformName);
    static bool systemMoveRequired();

    // Call from the grip's press handler. window is the window that moves.
    void press(QWidget* grip, QWidget* window, QMouseEvent* event, bool allowed = true);
    // Call from the grip's move handler; does nothing when !allowed.
    void move(QWidget* window, QMouseEvent* event, bool allowed = true);

    // Press point in the window's coordinates.
    QPoint origin() const { return m_origin; }

private:
    QPoint m_origin;
    bool m_systemMove = false;
};
