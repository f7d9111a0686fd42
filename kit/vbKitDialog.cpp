#include "vbKitDialog.h"

#include "vbKitStyle.h"

vbKitDialog::vbKitDialog(QWidget* parent, int topInset) : QDialog(parent), m_topInset(topInset)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
}

void vbKitDialog::setTopInset(int inset)
{
    m_topInset = inset;
    update();
}

void vbKitDialog::paintEvent(QPaintEvent* event)
{
    vbKit::paintDialogBackground(this, event, m_topInset);
}
