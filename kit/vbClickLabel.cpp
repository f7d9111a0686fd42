#include "vbClickLabel.h"

#include <QMouseEvent>

vbClickLabel::vbClickLabel(QWidget* parent) : QLabel(parent) {}

void vbClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (isEnabled())
        emit Clicked();
    event->accept();
}
