#include "vbKitStyle.h"

#include <QLabel>

#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace vbKit {

void applyLinkLook(QWidget* widget)
{
    QPalette palette = widget->palette();
    const QColor link(0, 0, 255);
    palette.setColor(QPalette::Active, QPalette::WindowText, link);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, link);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(106, 104, 100));
    palette.setColor(QPalette::Active, QPalette::Text, link);
    palette.setColor(QPalette::Inactive, QPalette::Text, link);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(106, 104, 100));
    widget->setPalette(palette);

    QFont font(QStringLiteral(u"宋体"), 9);
    font.setWeight(QFont::Normal);
    font.setUnderline(true);
    widget->setFont(font);
    widget->setCursor(Qt::PointingHandCursor);
}

void paintDialogBackground(QWidget* dialog, QPaintEvent* event, int topInset)
{
    // Shrink the whole dialog, not just the dirty rectangle: a partial repaint
    // (behind a child label, say) would otherwise leave bands of window colour.
    QPainter painter(dialog);
    const QRect area = dialog->rect().adjusted(1, topInset, -1, -1).intersected(event->rect());
    painter.fillRect(area, dialogBackground());
}

QIcon appIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/Resources/appIcon.png"));
    icon.addFile(QStringLiteral(":/Resources/smallLogo.png"));
    return icon;
}

void fitCaptions(std::initializer_list<QLabel*> captions, int width)
{
    for (QLabel* caption : captions)
        width = std::max(width, caption->sizeHint().width());
    for (QLabel* caption : captions)
        caption->setFixedWidth(width);
}

} // namespace vbKit
